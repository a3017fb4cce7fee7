#include "DatabaseManager.h"

#include "Global.h"
#include "ItemRecordKeys.h"
#include "PriceHistoryBuilder.h"
#include "StorageStatements.h"

#include <QDebug>
#include <QDir>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <algorithm>
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
        { HistoryKey::Price, ItemKey::Price },
        { HistoryKey::PriceNew, ItemKey::LowestNewPrice },
        { HistoryKey::PriceUsed, ItemKey::LowestUsedPrice },
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

// The columns of a result in the order of their names, so that each row's
// map is built by appending at its end instead of searching for every key.
struct RowLayout
{
    QStringList names;
    QList<int> columns;
};

RowLayout LayoutOf(const QSqlQuery& query)
{
    const QSqlRecord record = query.record();
    QList<std::pair<QString, int>> fields;
    for (int i = 0; i < record.count(); ++i)
        fields.append({ record.fieldName(i), i });
    std::sort(fields.begin(), fields.end());
    RowLayout layout;
    for (const auto& [strName, nColumn] : std::as_const(fields)) {
        layout.names.append(strName);
        layout.columns.append(nColumn);
    }
    return layout;
}

// Every column of the current row under its name, with the value as SQLite
// returns it (a null id stays null).
QVariantMap RowToMap(const QSqlQuery& query, const RowLayout& layout)
{
    QVariantMap row;
    for (int i = 0; i < layout.names.size(); ++i)
        row.insert(row.cend(), layout.names.at(i), query.value(layout.columns.at(i)));
    return row;
}

QVariantList AllRows(QSqlQuery& query)
{
    const RowLayout layout = LayoutOf(query);
    QVariantList rows;
    while (query.next())
        rows.append(RowToMap(query, layout));
    return rows;
}

// One use of a reused statement: ends it on leaving the scope, which
// releases the statement's hold on the file.
class StatementUse
{
public:
    explicit StatementUse(QSqlQuery* pQuery)
        : m_pQuery(pQuery)
    {
    }
    ~StatementUse()
    {
        if (m_pQuery)
            m_pQuery->finish();
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

    operator QSqlQuery*() const { return m_pQuery; }
    QSqlQuery* operator->() const { return m_pQuery; }
    QSqlQuery& operator*() const { return *m_pQuery; }

private:
    QSqlQuery* m_pQuery;
};

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
#if PRICEWARDEN_SQLITE_DIRECT_READ
    m_history.Finalize();
#endif
    m_statements.clear();
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

bool DatabaseManager::ExecuteStatement(const QString& strStatement)
{
    QSqlQuery query(m_db);
    if (query.prepare(strStatement) && query.exec())
        return true;
    ReportError(FailureText(query));
    return false;
}

// The statements of the store are prepared once per connection and reused.
// A statement that fails to prepare is reported and not kept, so that it is
// tried again next time.
QSqlQuery* DatabaseManager::Prepared(const QString& strStatement, bool bLogStatement)
{
    const auto found = m_statements.find(strStatement);
    if (found != m_statements.end())
        return &found->second;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(strStatement)) {
        if (bLogStatement)
            qDebug() << strStatement;
        ReportError(FailureText(query));
        return nullptr;
    }
    return &m_statements.emplace(strStatement, std::move(query)).first->second;
}

// Binds the values by position and runs the statement. Each use is closed by
// a StatementUse, so no statement keeps a read transaction open between
// calls.
bool DatabaseManager::Run(QSqlQuery* pQuery, const QVariantList& values, bool bLogStatement)
{
    if (!pQuery)
        return false;
    for (int i = 0; i < values.size(); ++i)
        pQuery->bindValue(i, values.at(i));
    if (pQuery->exec())
        return true;
    if (bLogStatement)
        qDebug() << pQuery->lastQuery();
    ReportError(FailureText(*pQuery));
    return false;
}

QStringList DatabaseManager::GetTableFields(const QString& table)
{
    // The table name is bound, not pasted into the statement.
    const StatementUse query(Prepared(Sql::TableColumns(), true));
    if (!Run(query, { NonNull(table) }, true))
        return {};
    QStringList fields;
    while (query->next())
        fields.append(query->value(0).toString());
    return fields;
}

bool DatabaseManager::HasItem(const QString& asin, const QString& locale)
{
    // A failed look-up counts as absence and is not reported.
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(Sql::SelectItem());
    query.addBindValue(NonNull(asin));
    query.addBindValue(NonNull(locale));
    return query.exec() && query.next();
}

QVariantList DatabaseManager::GetItems(const QString& locale)
{
    const bool bAllStores = locale.isEmpty();
    const StatementUse query(
        Prepared(bAllStores ? Sql::SelectItems() : Sql::SelectItemsOfLocale(), true));
    if (!Run(query, bAllStores ? QVariantList() : QVariantList { locale }, true))
        return {};
    const QVariantList rows = AllRows(*query);
    // Stepping can fail after the first row (a damaged page, a read error);
    // the rows read so far are true, but they are not the whole list.
    if (query->lastError().isValid()) {
        qDebug() << query->lastQuery();
        ReportError(FailureText(*query));
    }
    return rows;
}

// One transaction for the batch: one commit (and one sync) for all its
// rows, where a commit per row costs more than the rows themselves. A
// statement that fails is reported and the rest of the batch is still
// written.
void DatabaseManager::SaveItems(const QVariantList& items)
{
    if (items.isEmpty())
        return;
    bool bTransaction = m_db.isOpen() && m_db.transaction();
    // Rows saved in the open transaction, by position in the batch.
    QList<qsizetype> saved;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (SaveItem(items.at(i).toMap())) {
            saved.append(i);
            continue;
        }
        if (!bTransaction)
            continue;
        // Some failures (a full disk) make SQLite roll the whole transaction
        // back. What was saved before the failure is committed now, or,
        // when it is gone, written once more.
        const bool bKept = m_db.commit();
        bTransaction = m_db.transaction();
        const QList<qsizetype> written = std::exchange(saved, {});
        if (bKept)
            continue;
        for (const qsizetype nLost : written) {
            if (SaveItem(items.at(nLost).toMap()))
                saved.append(nLost);
        }
    }
    if (bTransaction && !m_db.commit()) {
        ReportError(m_db.lastError().text());
        m_db.rollback();
    }
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
    const StatementUse query(Prepared(Sql::UpdateItem(), true));
    const QVariantList values { item.value(ItemKey::WatchCondition).toInt(),
        item.value(ItemKey::PriceLine).toDouble(), FlagValue(item, ItemKey::ActionEmail),
        FlagValue(item, ItemKey::ActionWebPage), FlagValue(item, ItemKey::ActionCreateCart),
        item.value(ItemKey::Quantity).toInt(), TextValue(item, ItemKey::Title),
        FlagValue(item, ItemKey::ThirdParty), FlagValue(item, ItemKey::ThirdPartyUsed),
        TextValue(item, ItemKey::Asin), TextValue(item, ItemKey::Locale) };
    if (!Run(query, values, true))
        return false;
    *pbUpdated = query->numRowsAffected() > 0;
    return true;
}

bool DatabaseManager::InsertItem(const QVariantMap& item)
{
    const StatementUse query(Prepared(Sql::InsertItem(), true));
    const QVariantList values { TextValue(item, ItemKey::Asin), TextValue(item, ItemKey::Locale),
        item.value(ItemKey::WatchCondition).toInt(), item.value(ItemKey::PriceLine).toDouble(),
        FlagValue(item, ItemKey::ActionEmail), FlagValue(item, ItemKey::ActionWebPage),
        FlagValue(item, ItemKey::ActionCreateCart), TextValue(item, ItemKey::Title),
        item.value(ItemKey::Quantity).toInt(), FlagValue(item, ItemKey::ThirdParty),
        FlagValue(item, ItemKey::ThirdPartyUsed) };
    return Run(query, values, true);
}

void DatabaseManager::RemoveItem(const QVariantMap& item)
{
    const StatementUse query(Prepared(Sql::DeleteItem(), false));
    Run(query, { TextValue(item, ItemKey::Asin), TextValue(item, ItemKey::Locale) }, false);
}

void DatabaseManager::UpdateItems(const QVariantList& items)
{
    for (const QVariant& item : items)
        UpdatePrice(item.toMap());
}

void DatabaseManager::UpdatePrice(const QVariantMap& item)
{
    const QVariantMap lastPoint
        = LastPricePoint(TextValue(item, ItemKey::Asin), TextValue(item, ItemKey::Locale));
    if (lastPoint.isEmpty()) {
        InsertPricePoint(item);
    } else if (m_clock.IsToday(lastPoint.value(HistoryKey::Timestamp).toLongLong())) {
        LowerPricePoint(lastPoint, item);
    } else if (PricesDiffer(lastPoint, item)) {
        InsertPricePoint(item);
    }
}

// Empty when the product has no point yet or the look-up failed; either way
// a new point is written.
QVariantMap DatabaseManager::LastPricePoint(const QString& strAsin, const QString& strLocale)
{
    const StatementUse query(Prepared(Sql::SelectLastPoint(), false));
    if (!Run(query, { NonNull(strAsin), NonNull(strLocale) }, false) || !query->next())
        return {};
    return RowToMap(*query, LayoutOf(*query));
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
    QVariantList values { TextValue(item, ItemKey::Asin), TextValue(item, ItemKey::Locale) };
    for (const auto& columnAndKey : PriceColumnsAndKeys())
        values.append(item.value(columnAndKey.second).toDouble());
    values.append(m_clock.NowSeconds());
    const StatementUse query(Prepared(Sql::InsertPoint(), false));
    if (Run(query, values, false))
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

    values.append(NonNull(point.value(ItemKey::Asin).toString()));
    values.append(NonNull(point.value(ItemKey::Locale).toString()));
    values.append(point.value(HistoryKey::Timestamp).toLongLong());
    const StatementUse query(Prepared(Sql::LowerPoint(columns), true));
    if (Run(query, values, true))
        emit PriceUpdated();
}

bool DatabaseManager::DirectHistoryReadAvailable()
{
    return PRICEWARDEN_SQLITE_DIRECT_READ != 0;
}

void DatabaseManager::SetDirectHistoryRead(bool bDirect)
{
    m_bDirectHistoryRead = bDirect && DirectHistoryReadAvailable();
}

// A failure at any row is reported and leaves the list empty: a history
// cut short is not shown as the whole.
QVariantMap DatabaseManager::GetPriceHistory(const QString& asin, const QString& locale)
{
    PriceHistoryBuilder builder(m_clock);
#if PRICEWARDEN_SQLITE_DIRECT_READ
    const bool bRead = m_bDirectHistoryRead ? ReadHistoryDirectly(asin, locale, &builder)
                                            : ReadHistoryWithQt(asin, locale, &builder);
#else
    const bool bRead = ReadHistoryWithQt(asin, locale, &builder);
#endif
    return bRead ? builder.Result(locale) : PriceHistoryBuilder(m_clock).Result(locale);
}

// The portable read, through Qt's per-row results. Reports its failures.
// The statement is prepared for each read: Qt's driver keeps the columns of
// the first run of a prepared "SELECT *", and after the table gained a
// column it reads wrong values or crashes.
bool DatabaseManager::ReadHistoryWithQt(
    const QString& strAsin, const QString& strLocale, PriceHistoryBuilder* pBuilder)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(Sql::SelectHistory())) {
        ReportError(FailureText(query));
        return false;
    }
    query.addBindValue(NonNull(strAsin));
    query.addBindValue(NonNull(strLocale));
    if (!query.exec()) {
        ReportError(FailureText(query));
        return false;
    }
    const QSqlRecord record = query.record();
    QStringList columns;
    for (int i = 0; i < record.count(); ++i)
        columns.append(record.fieldName(i));
    pBuilder->SetColumns(columns);
    std::vector<QVariant> row(size_t(columns.size()));
    while (query.next()) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = query.value(int(i));
        pBuilder->Add(&row);
    }
    if (!query.lastError().isValid())
        return true;
    ReportError(FailureText(query));
    return false;
}

#if PRICEWARDEN_SQLITE_DIRECT_READ
// A history runs to thousands of rows: they are stepped directly on the
// SQLite connection under m_db, without Qt's per-row results. Reports its
// failures.
bool DatabaseManager::ReadHistoryDirectly(
    const QString& strAsin, const QString& strLocale, PriceHistoryBuilder* pBuilder)
{
    SqliteStatement* pQuery = HistoryStatement();
    if (!pQuery) {
        // The driver turned out to have a library of its own.
        return !m_bDirectHistoryRead && ReadHistoryWithQt(strAsin, strLocale, pBuilder);
    }
    const bool bRead = StepHistory(pQuery, strAsin, strLocale, pBuilder);
    const QString strError = pQuery->ErrorText();
    // Ended before anyone hears of a failure, who might read again.
    pQuery->Reset();
    if (!bRead)
        ReportError(strError);
    return bRead;
}

// The statement is prepared once; a failed preparation is reported and tried
// again next time.
SqliteStatement* DatabaseManager::HistoryStatement()
{
    if (m_history.IsPrepared())
        return &m_history;
    sqlite3* pConnection
        = m_db.isOpen() ? SqliteStatement::ConnectionOf(m_db.driver()->handle()) : nullptr;
    if (!pConnection) {
        ReportError(tr("The database is not open."));
        return nullptr;
    }
    if (!DriverUsesOurSqlite()) {
        m_bDirectHistoryRead = false;
        return nullptr;
    }
    if (!m_history.Prepare(pConnection, Sql::SelectHistory())) {
        ReportError(m_history.ErrorText());
        return nullptr;
    }
    return &m_history;
}

// The build found that Qt's driver loads our SQLite library. A Qt met at run
// time may still bring a copy of its own, whose connections must never reach
// this library; a different build of SQLite gives it away.
bool DatabaseManager::DriverUsesOurSqlite()
{
    QSqlQuery query(m_db);
    if (query.exec(QStringLiteral("SELECT sqlite_source_id()")) && query.next()
        && query.value(0).toString() == SqliteStatement::LibrarySourceId())
        return true;
    qDebug() << "Qt's SQLite driver uses another SQLite: histories are read through QSqlQuery";
    return false;
}

bool DatabaseManager::StepHistory(SqliteStatement* pQuery, const QString& strAsin,
    const QString& strLocale, PriceHistoryBuilder* pBuilder)
{
    if (!pQuery->BindText(1, strAsin) || !pQuery->BindText(2, strLocale))
        return false;
    if (!pQuery->Step())
        return !pQuery->Failed();
    // Named after the first step: a changed table makes SQLite prepare the
    // statement again, with the columns of the day.
    QStringList columns;
    for (int i = 0; i < pQuery->ColumnCount(); ++i)
        columns.append(pQuery->ColumnName(i));
    pBuilder->SetColumns(columns);
    std::vector<QVariant> row(size_t(columns.size()));
    do {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = pQuery->Value(int(i));
        pBuilder->Add(&row);
    } while (pQuery->Step());
    return !pQuery->Failed();
}
#endif
