#include "DatabaseManager.h"

#include "Global.h"
#include "PriceHistoryBuilder.h"
#include "StorageStatements.h"

#include <QDebug>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <array>
#include <atomic>
#include <utility>

namespace {

namespace Sql = StorageStatements;

// Each history column with the item key that feeds it, in the order in
// which a lowering statement sets them.
const std::array<std::pair<QString, QString>, 3>& PriceColumnsAndKeys()
{
    static const std::array<std::pair<QString, QString>, 3> pairs { {
        { QStringLiteral("Price"), QStringLiteral("Price") },
        { QStringLiteral("PriceNew"), QStringLiteral("LowestNewPrice") },
        { QStringLiteral("PriceUsed"), QStringLiteral("LowestUsedPrice") },
    } };
    return pairs;
}

DatabaseManager::LoadFailureHandler& LoadFailureHandlerSlot()
{
    static DatabaseManager::LoadFailureHandler handler;
    return handler;
}

QString NextConnectionName()
{
    static std::atomic<int> nextNumber { 0 };
    return QStringLiteral("pricewarden-storage-%1").arg(nextNumber++);
}

QStringList FieldNames(const QSqlQuery& query)
{
    const QSqlRecord record = query.record();
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names.append(record.fieldName(i));
    return names;
}

// Every column of the current row under its name, with the value as SQLite
// returns it (a null id stays null).
QVariantMap RowToMap(const QSqlQuery& query, const QStringList& names)
{
    QVariantMap row;
    for (int i = 0; i < names.size(); ++i)
        row.insert(names.at(i), query.value(i));
    return row;
}

QVariantList AllRows(QSqlQuery& query)
{
    const QStringList names = FieldNames(query);
    QVariantList rows;
    while (query.next())
        rows.append(RowToMap(query, names));
    return rows;
}

// A null string would be bound as NULL, which no look-up matches: missing
// texts are stored and looked up as empty texts.
QString NonNull(const QString& strValue)
{
    return strValue.isNull() ? QStringLiteral("") : strValue;
}

QString TextValue(const QVariantMap& item, const QString& strKey)
{
    return NonNull(item.value(strKey).toString());
}

int FlagValue(const QVariantMap& item, const QString& strKey)
{
    return item.value(strKey).toBool() ? 1 : 0;
}

} // namespace

void DatabaseManager::SetLoadFailureHandler(LoadFailureHandler handler)
{
    LoadFailureHandlerSlot() = std::move(handler);
}

QString DatabaseManager::DefaultFilePath()
{
    const QDir dataDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    return dataDir.absoluteFilePath(Global::DBFileName);
}

DatabaseManager::DatabaseManager(QObject* parent)
    : DatabaseManager(DefaultFilePath(), parent)
{
}

DatabaseManager::DatabaseManager(const QString& strFilePath, QObject* parent)
    : QObject(parent)
    , m_strConnectionName(NextConnectionName())
{
    Open(strFilePath);
    DeliverOpeningErrors();
}

DatabaseManager::~DatabaseManager()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_strConnectionName);
}

void DatabaseManager::SetClock(DayClock::TimeSource source)
{
    m_clock.SetTimeSource(std::move(source));
}

void DatabaseManager::SetTimeZone(const QTimeZone& zone)
{
    m_clock.SetTimeZone(zone);
}

bool DatabaseManager::IsOpen() const
{
    return m_db.isOpen();
}

QString DatabaseManager::ConnectionName() const
{
    return m_strConnectionName;
}

void DatabaseManager::Open(const QString& strFilePath)
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_strConnectionName);
    m_db.setDatabaseName(strFilePath);
    if (!m_db.open() || !ProbeFile()) {
        m_db.close();
        ReportLoadFailure();
        return;
    }
    ConfigureJournal();
    CreateSchema();
}

// SQLite opens lazily: a file that is no database, or that cannot be read,
// shows up only at the first statement. Such a file is left untouched.
bool DatabaseManager::ProbeFile()
{
    QSqlQuery query(m_db);
    if (query.exec(Sql::Probe()))
        return true;
    m_strOpenFailure = query.lastError().text();
    return false;
}

// A write-ahead log keeps every committed row through a killed process while
// a commit costs a fraction of a millisecond. A file that cannot be written
// keeps its journal and stays readable.
void DatabaseManager::ConfigureJournal()
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
        qDebug() << "Write-ahead log not available:" << query.lastError().text();
    if (!query.exec(QStringLiteral("PRAGMA synchronous=NORMAL")))
        qDebug() << "Cannot set the sync level:" << query.lastError().text();
}

void DatabaseManager::CreateSchema()
{
    ExecuteStatement(Sql::CreateWatchList());
    if (!GetTableFields(QStringLiteral("watchlist")).contains(QStringLiteral("ThirdPartyUsed")))
        ExecuteStatement(Sql::AddThirdPartyUsed());
    ExecuteStatement(Sql::CreatePriceHistory());
    ExecuteStatement(Sql::CreateWatchListIndex());
    ExecuteStatement(Sql::CreatePriceHistoryIndex());
}

void DatabaseManager::ReportLoadFailure()
{
    if (m_strOpenFailure.isEmpty())
        m_strOpenFailure = m_db.lastError().text();
    qDebug() << "Cannot open" << m_db.databaseName() << m_strOpenFailure;
    if (LoadFailureHandlerSlot())
        LoadFailureHandlerSlot()(tr("Cannot Load"), tr("Unable to load previously saved items."));
}

// Nobody can be connected while the constructor runs, so the failures of
// opening are delivered from the event loop, once the owner has connected.
void DatabaseManager::DeliverOpeningErrors()
{
    m_bOpening = false;
    if (m_openingErrors.isEmpty())
        return;
    QMetaObject::invokeMethod(
        this,
        [this]() {
            const QStringList errors = std::exchange(m_openingErrors, QStringList());
            for (const QString& strText : errors)
                emit Error(strText);
        },
        Qt::QueuedConnection);
}

void DatabaseManager::ReportError(const QString& strText)
{
    if (m_bOpening)
        m_openingErrors.append(strText);
    else
        emit Error(strText);
}

QString DatabaseManager::FailureText(const QSqlQuery& query) const
{
    const QString strText = query.lastError().text();
    if (!strText.trimmed().isEmpty())
        return strText;
    if (!m_db.isOpen())
        return tr("The database is not open.");
    return m_db.lastError().text();
}

// A statement that failed to prepare is not run: running it would replace
// the reason with a meaningless one.
bool DatabaseManager::Execute(QSqlQuery& query, bool bLogStatement)
{
    if (!query.lastError().isValid() && query.exec())
        return true;
    if (bLogStatement)
        qDebug() << query.lastQuery();
    ReportError(FailureText(query));
    return false;
}

bool DatabaseManager::ExecuteStatement(const QString& strStatement)
{
    QSqlQuery query(m_db);
    query.prepare(strStatement);
    return Execute(query, false);
}

QStringList DatabaseManager::GetTableFields(const QString& table)
{
    // The table name is bound, not pasted into the statement.
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(Sql::TableColumns());
    query.addBindValue(table);
    if (!Execute(query, true))
        return {};
    QStringList fields;
    while (query.next())
        fields.append(query.value(0).toString());
    return fields;
}

bool DatabaseManager::HasItem(const QString& asin, const QString& locale)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(Sql::SelectItem());
    query.addBindValue(NonNull(asin));
    query.addBindValue(NonNull(locale));
    return query.exec() && query.next();
}

QVariantList DatabaseManager::GetItems(const QString& locale)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (locale.isEmpty()) {
        query.prepare(Sql::SelectItems());
    } else {
        query.prepare(Sql::SelectItemsOfLocale());
        query.addBindValue(locale);
    }
    if (!Execute(query, true))
        return {};
    return AllRows(query);
}

void DatabaseManager::SaveItems(const QVariantList& items)
{
    for (const QVariant& item : items)
        SaveItem(item.toMap());
}

// An existing row is updated; only when no row matched is one inserted. A
// failed update is reported and not followed by an insert, which could
// otherwise duplicate a row that is there.
bool DatabaseManager::SaveItem(const QVariantMap& item)
{
    bool bUpdated = false;
    if (!UpdateStoredItem(item, &bUpdated))
        return false;
    return bUpdated || InsertItem(item);
}

bool DatabaseManager::UpdateStoredItem(const QVariantMap& item, bool* pbUpdated)
{
    QSqlQuery query(m_db);
    query.prepare(Sql::UpdateItem());
    query.addBindValue(item.value(QStringLiteral("WatchCondition")).toInt());
    query.addBindValue(item.value(QStringLiteral("PriceLine")).toDouble());
    query.addBindValue(FlagValue(item, QStringLiteral("ActionEmail")));
    query.addBindValue(FlagValue(item, QStringLiteral("ActionWebPage")));
    query.addBindValue(FlagValue(item, QStringLiteral("ActionCreateCart")));
    query.addBindValue(item.value(QStringLiteral("Quantity")).toInt());
    query.addBindValue(TextValue(item, QStringLiteral("Title")));
    query.addBindValue(FlagValue(item, QStringLiteral("ThirdParty")));
    query.addBindValue(FlagValue(item, QStringLiteral("ThirdPartyUsed")));
    query.addBindValue(TextValue(item, QStringLiteral("ASIN")));
    query.addBindValue(TextValue(item, QStringLiteral("Locale")));
    if (!Execute(query, true))
        return false;
    *pbUpdated = query.numRowsAffected() > 0;
    return true;
}

bool DatabaseManager::InsertItem(const QVariantMap& item)
{
    QSqlQuery query(m_db);
    query.prepare(Sql::InsertItem());
    query.addBindValue(TextValue(item, QStringLiteral("ASIN")));
    query.addBindValue(TextValue(item, QStringLiteral("Locale")));
    query.addBindValue(item.value(QStringLiteral("WatchCondition")).toInt());
    query.addBindValue(item.value(QStringLiteral("PriceLine")).toDouble());
    query.addBindValue(FlagValue(item, QStringLiteral("ActionEmail")));
    query.addBindValue(FlagValue(item, QStringLiteral("ActionWebPage")));
    query.addBindValue(FlagValue(item, QStringLiteral("ActionCreateCart")));
    query.addBindValue(TextValue(item, QStringLiteral("Title")));
    query.addBindValue(item.value(QStringLiteral("Quantity")).toInt());
    query.addBindValue(FlagValue(item, QStringLiteral("ThirdParty")));
    query.addBindValue(FlagValue(item, QStringLiteral("ThirdPartyUsed")));
    return Execute(query, true);
}

void DatabaseManager::RemoveItem(const QVariantMap& item)
{
    QSqlQuery query(m_db);
    query.prepare(Sql::DeleteItem());
    query.addBindValue(TextValue(item, QStringLiteral("ASIN")));
    query.addBindValue(TextValue(item, QStringLiteral("Locale")));
    Execute(query, false);
}

void DatabaseManager::UpdateItems(const QVariantList& items)
{
    for (const QVariant& item : items)
        UpdatePrice(item.toMap());
}

void DatabaseManager::UpdatePrice(const QVariantMap& item)
{
    const QVariantMap lastPoint = LastPricePoint(
        TextValue(item, QStringLiteral("ASIN")), TextValue(item, QStringLiteral("Locale")));
    if (lastPoint.isEmpty()) {
        InsertPricePoint(item);
    } else if (m_clock.IsToday(lastPoint.value(QStringLiteral("Timestamp")).toLongLong())) {
        LowerPricePoint(lastPoint, item);
    } else if (PricesDiffer(lastPoint, item)) {
        InsertPricePoint(item);
    }
}

// Empty when the product has no point yet or the look-up failed; either way
// a new point is written.
QVariantMap DatabaseManager::LastPricePoint(const QString& strAsin, const QString& strLocale)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(Sql::SelectLastPoint());
    query.addBindValue(NonNull(strAsin));
    query.addBindValue(NonNull(strLocale));
    if (!Execute(query, false) || !query.next())
        return {};
    return RowToMap(query, FieldNames(query));
}

bool DatabaseManager::PricesDiffer(const QVariantMap& point, const QVariantMap& item)
{
    for (const auto& [strColumn, strKey] : PriceColumnsAndKeys()) {
        if (item.value(strKey).toDouble() != point.value(strColumn).toDouble())
            return true;
    }
    return false;
}

void DatabaseManager::InsertPricePoint(const QVariantMap& item)
{
    QSqlQuery query(m_db);
    query.prepare(Sql::InsertPoint());
    query.addBindValue(TextValue(item, QStringLiteral("ASIN")));
    query.addBindValue(TextValue(item, QStringLiteral("Locale")));
    for (const auto& columnAndKey : PriceColumnsAndKeys())
        query.addBindValue(item.value(columnAndKey.second).toDouble());
    query.addBindValue(m_clock.NowSeconds());
    if (Execute(query, false))
        emit PriceUpdated();
}

// Within a day a point only goes down, and only to a real price: a value of
// 0 (no offer) never replaces a price seen earlier that day.
void DatabaseManager::LowerPricePoint(const QVariantMap& point, const QVariantMap& item)
{
    QStringList columns;
    QVariantList values;
    for (const auto& [strColumn, strKey] : PriceColumnsAndKeys()) {
        const double dValue = item.value(strKey).toDouble();
        if (dValue < point.value(strColumn).toDouble() && dValue > 0) {
            columns.append(strColumn);
            values.append(dValue);
        }
    }
    if (columns.isEmpty())
        return;

    QSqlQuery query(m_db);
    query.prepare(Sql::LowerPoint(columns));
    for (const QVariant& value : std::as_const(values))
        query.addBindValue(value);
    query.addBindValue(point.value(QStringLiteral("ASIN")).toString());
    query.addBindValue(point.value(QStringLiteral("Locale")).toString());
    query.addBindValue(point.value(QStringLiteral("Timestamp")).toLongLong());
    if (Execute(query, true))
        emit PriceUpdated();
}

QVariantMap DatabaseManager::GetPriceHistory(const QString& asin, const QString& locale)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(Sql::SelectHistory());
    query.addBindValue(NonNull(asin));
    query.addBindValue(NonNull(locale));
    PriceHistoryBuilder builder(m_clock);
    if (Execute(query, false)) {
        const QStringList names = FieldNames(query);
        while (query.next())
            builder.Add(RowToMap(query, names));
    }
    return builder.Result(locale);
}
