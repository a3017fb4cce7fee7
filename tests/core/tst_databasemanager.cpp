// The local store: its file and schema, the watch list, and the price history
// with one point per product, store and local day.

#include "DatabaseManager.h"
#include "DayClock.h"
#include "PriceHistoryCsv.h"
#include "ScratchEnvironment.h"
#include "StorageStatements.h"

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTest>
#include <QTimeZone>

namespace {

using Prices = QList<double>;

const QString kAsin = QStringLiteral("B00TEST001");
const QString kWatchListTable = QStringLiteral(
    "CREATE TABLE watchlist (id int primary key,ASIN char(20),Locale char(2),WatchCondition "
    "int,PriceLine double,ThirdParty bool,ThirdPartyUsed bool,ActionEmail bool,ActionWebPage "
    "bool,ActionCreateCart bool,Quantity int,Title tinytext )");
const QString kPriceHistoryTable
    = QStringLiteral("CREATE TABLE pricehistory (id int primary key,ASIN char(20),Locale "
                     "char(2),Price double,PriceNew double,PriceUsed double,Timestamp int )");

QVariantMap Item(const QString& strAsin, const QString& strLocale,
    const QString& strTitle = QStringLiteral("A title"))
{
    return { { "ASIN", strAsin }, { "Locale", strLocale }, { "Title", strTitle },
        { "WatchCondition", 2 }, { "PriceLine", 9.5 }, { "ThirdParty", true },
        { "ThirdPartyUsed", false }, { "ActionEmail", true }, { "ActionWebPage", false },
        { "ActionCreateCart", true }, { "Quantity", 3 } };
}

QVariantMap Reply(const QString& strAsin, const QString& strLocale, const Prices& prices)
{
    return { { "ASIN", strAsin }, { "Locale", strLocale }, { "Price", prices.value(0) },
        { "LowestNewPrice", prices.value(1) }, { "LowestUsedPrice", prices.value(2) } };
}

Prices PricesOf(const QVariant& point)
{
    const QVariantMap map = point.toMap();
    return { map.value("Price").toDouble(), map.value("PriceNew").toDouble(),
        map.value("PriceUsed").toDouble() };
}

QDateTime LocalTime(const QString& strDateTime, const QByteArray& zone)
{
    const QDateTime parsed = QDateTime::fromString(strDateTime, Qt::ISODate);
    return QDateTime(parsed.date(), parsed.time(), QTimeZone(zone));
}

QStringList AsinsOf(const QVariantList& rows)
{
    QStringList asins;
    for (const QVariant& row : rows)
        asins.append(row.toMap().value("ASIN").toString());
    asins.sort();
    return asins;
}

// Flags and numbers come back as numbers, texts as texts, none as NULL.
void CompareStored(const QVariantMap& row, const QVariantMap& record)
{
    for (auto it = record.cbegin(); it != record.cend(); ++it) {
        QVERIFY2(!row.value(it.key()).isNull(), qPrintable(it.key()));
        if (it->typeId() == QMetaType::QString)
            QCOMPARE(row.value(it.key()).toString(), it->toString());
        else
            QCOMPARE(row.value(it.key()).toDouble(), it->toDouble());
    }
}

} // namespace

class TestDatabaseManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void init();
    void cleanup();

    void fileHasTheHistoricalSchemaOnce();
    void oldFileGainsThirdPartyUsedAndIndexes();
    void lookupsSeekWithTheIndexes_data();
    void lookupsSeekWithTheIndexes();
    void eachItemTouchesItsOwnRowsOnly_data();
    void eachItemTouchesItsOwnRowsOnly();
    void failedHistoryReadIsReportedAndTriedAgain();

    void dayClockAgreesWithTheZone_data();
    void dayClockAgreesWithTheZone();
    void pointsFollowTheDayRules_data();
    void pointsFollowTheDayRules();
    void extremesOfEachColumn_data();
    void extremesOfEachColumn();
    void pointsHoldWhatQtsDriverReads_data();
    void pointsHoldWhatQtsDriverReads();

    void csvExport_data();
    void csvExport();

private:
    void Open(const QString& strPath);
    // The first value of a statement's result, true for a statement without
    // rows, an invalid value when it fails.
    QVariant Sql(const QString& strStatement)
    {
        QSqlQuery query(QSqlDatabase::database(m_manager->ConnectionName()));
        if (!query.exec(strStatement))
            qWarning() << strStatement << query.lastError().text();
        else
            return query.next() ? query.value(0) : QVariant(true);
        return {};
    }
    QVariantList History(const QString& strAsin = kAsin, const QString& strLocale = "us")
    {
        return m_manager->GetPriceHistory(strAsin, strLocale).value("PriceHistory").toList();
    }
    void InsertPoint(const QString& strAsin, const Prices& prices, const QDateTime& time,
        const QString& strLocale = "us");

    std::unique_ptr<ScratchEnvironment> m_env;
    std::unique_ptr<DatabaseManager> m_manager;
    QDateTime m_now;
};

// Every test runs with each way of reading a history this build has: on
// Qt's own SQLite connection, where that is sound, and through QSqlQuery,
// the way every build can read.
void TestDatabaseManager::initTestCase_data()
{
    QTest::addColumn<bool>("directRead");
    if (DatabaseManager::DirectHistoryReadAvailable())
        QTest::newRow("stepped on SQLite") << true;
    QTest::newRow("through QSqlQuery") << false;
}

void TestDatabaseManager::init()
{
    m_env = std::make_unique<ScratchEnvironment>();
    Open(m_env->filePath("test.dat"));
}

void TestDatabaseManager::cleanup()
{
    m_manager.reset();
    m_env.reset();
}

// Opens a file whose points take the test's time and Berlin's calendar days.
void TestDatabaseManager::Open(const QString& strPath)
{
    m_manager.reset();
    m_manager = strPath.isEmpty() ? std::make_unique<DatabaseManager>()
                                  : std::make_unique<DatabaseManager>(strPath);
    m_now = LocalTime("2026-03-10T09:00:00", "Europe/Berlin");
    m_manager->SetClock([this]() { return m_now; });
    m_manager->SetTimeZone(QTimeZone("Europe/Berlin"));
    QFETCH_GLOBAL(bool, directRead);
    m_manager->SetDirectHistoryRead(directRead);
    QCOMPARE(m_manager->DirectHistoryRead(), directRead);
}

void TestDatabaseManager::InsertPoint(
    const QString& strAsin, const Prices& prices, const QDateTime& time, const QString& strLocale)
{
    QSqlQuery query(QSqlDatabase::database(m_manager->ConnectionName()));
    query.prepare("INSERT INTO pricehistory (ASIN, Locale, Price, PriceNew, PriceUsed, Timestamp) "
                  "VALUES (?, ?, ?, ?, ?, ?)");
    query.addBindValue(strAsin);
    query.addBindValue(strLocale);
    for (double dPrice : prices)
        query.addBindValue(dPrice);
    query.addBindValue(time.toSecsSinceEpoch());
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
}

// The default file lies in the data directory. A second opening neither adds
// a column again nor reports anything; a table name is data, never SQL.
void TestDatabaseManager::fileHasTheHistoricalSchemaOnce()
{
    const QDir dataDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QVERIFY(dataDir.mkpath("."));
    QCOMPARE(DatabaseManager::DefaultFilePath(), dataDir.absoluteFilePath("userdata.dat"));
    for (int nOpening = 0; nOpening < 2; ++nOpening) {
        Open(QString());
        QSignalSpy errors(m_manager.get(), &DatabaseManager::Error);
        QVERIFY(QFile::exists(DatabaseManager::DefaultFilePath()));
        QCOMPARE(Sql("SELECT sql FROM sqlite_master WHERE name='watchlist'").toString(),
            kWatchListTable);
        QCOMPARE(Sql("SELECT sql FROM sqlite_master WHERE name='pricehistory'").toString(),
            kPriceHistoryTable);
        QCOMPARE(Sql("SELECT group_concat(name) FROM (SELECT name FROM sqlite_master WHERE "
                     "type='index' AND sql NOT NULL ORDER BY name)")
                     .toString(),
            "pricehistory_point,watchlist_item");
        QCOMPARE(Sql("PRAGMA journal_mode").toString(), "wal");
        QCOMPARE(m_manager->GetTableFields("pricehistory"),
            QStringList({ "id", "ASIN", "Locale", "Price", "PriceNew", "PriceUsed", "Timestamp" }));
        QCOMPARE(m_manager->GetTableFields("nosuchtable"), QStringList());
        QCOMPARE(m_manager->GetTableFields("watchlist); DROP TABLE pricehistory; --"), {});
        QCoreApplication::processEvents();
        QCOMPARE(errors.count(), 0);
    }
    m_manager.reset();
    QVERIFY(QFile::remove(DatabaseManager::DefaultFilePath()));
}

void TestDatabaseManager::oldFileGainsThirdPartyUsedAndIndexes()
{
    // A file of an older program: no ThirdPartyUsed, no indexes.
    for (const QString& strStatement : { QStringLiteral("DROP TABLE watchlist"),
             QString(kWatchListTable).remove("ThirdPartyUsed bool,"),
             QStringLiteral("INSERT INTO watchlist (ASIN, Locale, ThirdParty, Title) VALUES "
                            "('B00OLD0001', 'uk', 1, 'Old row')"),
             QStringLiteral("DROP INDEX pricehistory_point"),
             QStringLiteral("INSERT INTO pricehistory (ASIN, Locale, Price, Timestamp) VALUES "
                            "('B00OLD0001', 'uk', 12.5, 1500000000)") })
        QVERIFY(Sql(strStatement).isValid());
    Open(m_env->filePath("test.dat"));
    QSignalSpy errors(m_manager.get(), &DatabaseManager::Error);

    const QStringList fields = m_manager->GetTableFields("watchlist");
    QCOMPARE(fields.size(), 12);
    QCOMPARE(fields.last(), "ThirdPartyUsed");
    const QVariantList rows = m_manager->GetItems(QString());
    QCOMPARE(rows.size(), 1);
    const QVariantMap row = rows.first().toMap();
    QCOMPARE(row.value("Title").toString(), "Old row");
    QCOMPARE(row.value("ThirdParty").toBool(), true);
    QVERIFY(row.contains("ThirdPartyUsed"));
    QVERIFY(row.value("ThirdPartyUsed").isNull());
    QCOMPARE(row.value("ThirdPartyUsed").toBool(), false);
    QCOMPARE(History("b00old0001", "UK").size(), 1);
    QCOMPARE(Sql("SELECT count(*) FROM sqlite_master WHERE name IN ('watchlist_item', "
                 "'pricehistory_point')")
                 .toInt(),
        2);
    QCoreApplication::processEvents();
    QCOMPARE(errors.count(), 0);
}

void TestDatabaseManager::lookupsSeekWithTheIndexes_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("index");
    QTest::addColumn<bool>("ordered");
    const QString strItem("watchlist_item"), strPoint("pricehistory_point");
    QTest::newRow("presence") << StorageStatements::SelectItem() << strItem << false;
    QTest::newRow("update item") << StorageStatements::UpdateItem() << strItem << false;
    QTest::newRow("remove item") << StorageStatements::DeleteItem() << strItem << false;
    QTest::newRow("last point") << StorageStatements::SelectLastPoint() << strPoint << true;
    QTest::newRow("history") << StorageStatements::SelectHistory() << strPoint << true;
    QTest::newRow("lower point") << StorageStatements::LowerPoint(
        { "Price", "PriceNew", "PriceUsed" })
                                 << strPoint << false;
}

// Each look-up must seek the index on both ASIN and locale and read points in
// index order; a scan or a temporary sort would read every product's history.
void TestDatabaseManager::lookupsSeekWithTheIndexes()
{
    QFETCH(QString, statement);
    QFETCH(QString, index);
    QFETCH(bool, ordered);
    QSqlQuery query(QSqlDatabase::database(m_manager->ConnectionName()));
    QVERIFY(query.prepare("EXPLAIN QUERY PLAN " + statement));
    for (int i = 0; i < int(statement.count(QLatin1Char('?'))); ++i)
        query.addBindValue("X");
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
    QStringList plan;
    while (query.next())
        plan.append(query.value(3).toString());
    const QString strPlan = plan.join(QLatin1Char('\n'));
    const QRegularExpression seek(
        QStringLiteral("USING (COVERING )?INDEX %1 \\(ASIN=\\? AND Locale=\\?").arg(index));
    QVERIFY2(strPlan.contains(seek), qPrintable(strPlan));
    QVERIFY2(!strPlan.contains("SCAN"), qPrintable(strPlan));
    QVERIFY2(!ordered || !strPlan.contains("TEMP B-TREE"), qPrintable(strPlan));
}

void TestDatabaseManager::eachItemTouchesItsOwnRowsOnly_data()
{
    QTest::addColumn<QString>("asin");
    QTest::addColumn<QString>("locale");
    QTest::newRow("letters") << "B00ABCDEF1"
                             << "de";
    QTest::newRow("underscore") << "B0_1"
                                << "us";
    QTest::newRow("percent") << "B0%"
                             << "us";
    QTest::newRow("only percent") << "%"
                                  << "us";
    QTest::newRow("wildcard locale") << "B0X1"
                                     << "_s";
    QTest::newRow("other store") << "B0X1"
                                 << "ca";
}

// Saving again (in whichever case), pricing, listing and removing one item
// touch its own rows only, whatever characters its ASIN and locale hold; its
// history outlives its removal. Every column comes back, "id" as NULL, and an
// item saved bare gets defaults, not NULLs.
void TestDatabaseManager::eachItemTouchesItsOwnRowsOnly()
{
    QFETCH(QString, asin);
    QFETCH(QString, locale);
    QSignalSpy errors(m_manager.get(), &DatabaseManager::Error);
    const QStringList neighbours { "B0ABC", "B0X1", "B0Y1" };
    QMap<QString, QVariantMap> expected { { "B0ABC|us", Item("B0ABC", "us", "neighbour") },
        { "B0X1|us", Item("B0X1", "us", "neighbour") },
        { "B0Y1|us", { { "Title", QString("") }, { "WatchCondition", 0 }, { "ThirdParty", 0 } } } };
    m_manager->SaveItems({ expected.value("B0ABC|us"), expected.value("B0X1|us"),
        QVariantMap { { "ASIN", "B0Y1" }, { "Locale", "us" } } });
    for (const QString& strNeighbour : neighbours)
        m_manager->UpdatePrice(Reply(strNeighbour, "us", { 10 }));
    QVERIFY(!m_manager->HasItem(asin, locale));

    m_manager->SaveItems({ Item(asin, locale, "First") });
    QVariantMap own = Item(asin.toLower(), locale.toUpper(), "own");
    own.insert({ { "WatchCondition", 1 }, { "PriceLine", 7.25 }, { "ThirdPartyUsed", true },
        { "ActionEmail", false }, { "Quantity", 5 } });
    m_manager->SaveItems({ own });
    m_manager->UpdatePrice(Reply(asin, locale, { 5 }));
    m_manager->UpdatePrice(Reply(asin, locale, { 4 }));
    own.remove("ASIN");
    own.remove("Locale");
    expected.insert(asin + '|' + locale, own);

    const QVariantList rows = m_manager->GetItems(QString());
    QCOMPARE(rows.size(), 4);
    for (const QVariant& row : rows) {
        const QVariantMap map = row.toMap();
        QCOMPARE(map.size(), 12);
        QVERIFY(map.contains("id") && map.value("id").isNull());
        const QString strAsin = map.value("ASIN").toString();
        const QString strLocale = map.value("Locale").toString();
        const QString strKey = strAsin + '|' + strLocale;
        QVERIFY2(expected.contains(strKey), qPrintable(strKey));
        CompareStored(map, expected.take(strKey));
        const QVariantList history = History(strAsin, strLocale);
        QCOMPARE(history.size(), 1);
        QCOMPARE(PricesOf(history.first()).first(), strKey == asin + '|' + locale ? 4.0 : 10.0);
    }
    const QVariantList listed = m_manager->GetItems(locale);
    QCOMPARE(listed.size(), locale == "us" ? 4 : 1);
    QCOMPARE(m_manager->GetItems(locale.toUpper()), listed);
    QVERIFY(m_manager->HasItem(asin.toLower(), locale.toUpper()));
    QCOMPARE(errors.count(), 0);

    m_manager->RemoveItem(Item(asin.toLower(), locale.toUpper()));
    QCOMPARE(AsinsOf(m_manager->GetItems(QString())), neighbours);
    QCOMPARE(History(asin, locale).size(), 1);
}

// A statement that could not be prepared is prepared again at the next read.
void TestDatabaseManager::failedHistoryReadIsReportedAndTriedAgain()
{
    m_manager->UpdatePrice(Reply(kAsin, "us", { 10 }));
    QCOMPARE(History().size(), 1);
    QVERIFY(Sql("ALTER TABLE pricehistory RENAME TO pricehistory_moved").isValid());
    QSignalSpy errors(m_manager.get(), &DatabaseManager::Error);

    const QVariantMap history = m_manager->GetPriceHistory(kAsin, "us");
    QCOMPARE(history.keys(), QStringList({ "Locale", "PriceHistory" }));
    QVERIFY(history.value("PriceHistory").toList().isEmpty());
    QCOMPARE(errors.count(), 1);
    QVERIFY2(errors.first().first().toString().contains("no such table: pricehistory"),
        qPrintable(errors.first().first().toString()));

    QVERIFY(Sql("ALTER TABLE pricehistory_moved RENAME TO pricehistory").isValid());
    QCOMPARE(PricesOf(History().value(0)).first(), 10.0);
    QCOMPARE(errors.count(), 1);
}

void TestDatabaseManager::dayClockAgreesWithTheZone_data()
{
    QTest::addColumn<QTimeZone>("zone");
    QTest::addColumn<QDateTime>("from");
    const auto row = [](const char* name, const QTimeZone& zone, int year = 2025) {
        QTest::newRow(name) << zone << QDateTime(QDate(year, 1, 1), QTime(0, 0), Qt::UTC);
    };
    row("Berlin", QTimeZone("Europe/Berlin"));
    row("New York", QTimeZone("America/New_York"));
    row("Lord Howe, half-hour summer time", QTimeZone("Australia/Lord_Howe"));
    row("Tokyo", QTimeZone("Asia/Tokyo"));
    row("UTC", QTimeZone::utc());
    row("fixed -03:30", QTimeZone(-12600));
    row("Berlin before 1970", QTimeZone("Europe/Berlin"), 1968);
}

// The clock dates points by arithmetic between the zone's transitions; it
// must give the zone's own local date for any moment, in any order.
void TestDatabaseManager::dayClockAgreesWithTheZone()
{
    QFETCH(QTimeZone, zone);
    QFETCH(QDateTime, from);
    QVERIFY(zone.isValid());
    DayClock clock;
    clock.SetTimeZone(zone);
    const qint64 nStep = 7919; // about 2.2 hours, so every hour of the day is met
    const int nSteps = 2 * 365 * 24 * 3600 / int(nStep);
    QList<qint64> moments;
    for (int i = 0; i < nSteps; ++i)
        moments.append(from.toSecsSinceEpoch() + i * nStep);
    for (int i = nSteps - 1; i >= 0; i -= 3)
        moments.append(from.toSecsSinceEpoch() + i * nStep);
    for (qint64 nMoment : std::as_const(moments)) {
        const QDate expected = QDateTime::fromSecsSinceEpoch(nMoment, zone).date();
        if (clock.DateOf(nMoment) != expected)
            QFAIL(qPrintable(QStringLiteral("%1: %2 instead of %3")
                                 .arg(nMoment)
                                 .arg(clock.DateOf(nMoment).toString(Qt::ISODate),
                                     expected.toString(Qt::ISODate))));
    }
}

void TestDatabaseManager::pointsFollowTheDayRules_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("firstTime");
    QTest::addColumn<QString>("secondTime");
    QTest::addColumn<Prices>("first");
    QTest::addColumn<Prices>("second");
    QTest::addColumn<Prices>("last"); // the last point afterwards
    QTest::addColumn<int>("points");
    const auto row
        = [](const char* name, const char* zone, const char* firstTime, const char* secondTime,
              const Prices& first, const Prices& second, const Prices& last, int points) {
              QTest::newRow(name) << QByteArray(zone) << QString(firstTime) << QString(secondTime)
                                  << first << second << last << points;
          };
    const char *berlin = "Europe/Berlin", *morning = "2026-03-10T09:00:00";
    const char *evening = "2026-03-10T19:00:00", *later = "2026-03-13T09:00:00";
    const Prices usual { 10, 20, 30 }, lower { 9, 20, 30 };
    // Within a day only lower positive prices count, and a first 0 stays.
    row("lower price", berlin, morning, evening, usual, lower, lower, 1);
    row("all three lower", berlin, morning, evening, usual, { 9, 19, 29 }, { 9, 19, 29 }, 1);
    row("higher prices", berlin, morning, evening, usual, { 11, 21, 31 }, usual, 1);
    row("offers gone", berlin, morning, evening, usual, { 0, 0, 0 }, usual, 1);
    row("mixed", berlin, morning, evening, usual, { 9.5, 25, 0 }, { 9.5, 20, 30 }, 1);
    row("first 0 stays", berlin, morning, evening, { 0, 20, 0 }, { 8, 20, 5 }, { 0, 20, 0 }, 1);
    // A later day gets a point, with all three prices, only when one changed.
    row("later, unchanged", berlin, morning, later, usual, usual, usual, 1);
    row("later, price", berlin, morning, later, usual, { 11, 20, 30 }, { 11, 20, 30 }, 2);
    row("later, new price", berlin, morning, later, usual, { 10, 19, 30 }, { 10, 19, 30 }, 2);
    row("later, used price", berlin, morning, later, usual, { 10, 20, 31 }, { 10, 20, 31 }, 2);
    row("later, offer gone", berlin, morning, later, usual, { 0, 20, 30 }, { 0, 20, 30 }, 2);
    // Each pair lies on one UTC day but two local days, or the reverse.
    row("Berlin, midnight between", berlin, "2026-03-10T23:30:00", "2026-03-11T00:30:00", usual,
        lower, lower, 2);
    row("Berlin, whole local day", berlin, "2026-03-10T00:10:00", "2026-03-10T23:50:00", usual,
        lower, lower, 1);
    row("Berlin, 23-hour day", berlin, "2026-03-29T00:30:00", "2026-03-29T23:30:00", usual, lower,
        lower, 1);
    row("Tokyo, morning after", "Asia/Tokyo", "2026-03-10T23:00:00", "2026-03-11T08:00:00", usual,
        lower, lower, 2);
    // Seconds past 2^31 must neither wrap to 1901 nor lose their day.
    row("after 2038, same day", berlin, "2040-06-01T08:00:00", "2040-06-01T09:00:00", usual, lower,
        lower, 1);
    row("after 2038, next day", berlin, "2040-06-01T08:00:00", "2040-06-02T08:00:00", usual, usual,
        usual, 1);
}

void TestDatabaseManager::pointsFollowTheDayRules()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, firstTime);
    QFETCH(QString, secondTime);
    QFETCH(Prices, first);
    QFETCH(Prices, second);
    QFETCH(Prices, last);
    QFETCH(int, points);
    QSignalSpy updated(m_manager.get(), &DatabaseManager::PriceUpdated);
    QSignalSpy errors(m_manager.get(), &DatabaseManager::Error);
    m_manager->SetTimeZone(QTimeZone(zone));
    m_now = LocalTime(firstTime, zone);
    m_manager->UpdatePrice(Reply(kAsin, "us", first));
    QCOMPARE(updated.count(), 1);
    m_now = LocalTime(secondTime, zone);
    m_manager->UpdatePrice(Reply(kAsin.toLower(), "us", second));

    // Reading merges the rows of a day, so the table itself is counted.
    QCOMPARE(Sql("SELECT count(*) FROM pricehistory").toInt(), points);
    const QVariantList history = History();
    QCOMPARE(history.size(), points);
    QCOMPARE(PricesOf(history.first()), points == 2 ? first : last);
    QCOMPARE(PricesOf(history.last()), last);
    QCOMPARE(history.first().toMap().value("Timestamp").toLongLong(),
        LocalTime(firstTime, zone).toSecsSinceEpoch());
    QCOMPARE(history.last().toMap().value("Timestamp").toLongLong(),
        LocalTime(points == 2 ? secondTime : firstTime, zone).toSecsSinceEpoch());
    QVERIFY(history.last().toMap().value("id").isNull());
    QCOMPARE(updated.count(), points == 2 || last != first ? 2 : 1);
    QCOMPARE(errors.count(), 0);
}

void TestDatabaseManager::extremesOfEachColumn_data()
{
    QTest::addColumn<QList<Prices>>("rows");
    QTest::addColumn<QList<int>>("hours"); // of each row
    QTest::addColumn<QList<int>>("expected"); // point of lowest, highest price, new, used
    QTest::addColumn<QList<Prices>>("points"); // read back; none: the rows as they are
    QTest::addColumn<QList<int>>("pointHours");
    using Hours = QList<int>;
    const auto row
        = [](const char* name, const QList<Prices>& rows, const Hours& hours, const Hours& expected,
              const QList<Prices>& points = {}, const Hours& pointHours = {}) {
              QTest::newRow(name) << rows << hours << expected << points << pointHours;
          };
    const Hours daily { 0, 24, 48 };
    row("no history", {}, {}, {});
    row("used all zero", { { 10, 9, 0 }, { 8, 12, 0 }, { 11, 7, 0 } }, daily, { 1, 2, 2, 1, 0, 0 });
    row("zero is no price", { { 0, 0, 5 }, { 10, 0, 0 }, { 12, 3, 5 } }, daily,
        { 1, 2, 2, 2, 0, 0 });
    row("ties keep the earlier", { { 9, 9, 9 }, { 9, 9, 9 }, { 9, 9, 9 } }, daily,
        { 0, 0, 0, 0, 0, 0 });
    row("yen above ten million", { { 15000000, 0, 0 }, { 12000000, 0, 0 }, { 13000000, 0, 0 } },
        daily, { 1, 0, 0, 0, 0, 0 });
    // The highest is a point as shown: 12.5, lowered to 11 that day, is gone.
    row("value lost in a merge", { { 12.5, 0, 0 }, { 11, 0, 0 }, { 12, 0, 0 } }, { 0, 1, 24 },
        { 0, 1, 0, 0, 0, 0 }, { { 11, 0, 0 }, { 12, 0, 0 } }, { 1, 24 });
    // Stored out of order, two rows on one day: that day's point has the later
    // row's time and per column the lower price, a price beating no offer.
    const auto merge = [&row](const char* name, const Prices& earlier, const Prices& later,
                           const Prices& merged, const Hours& expected) {
        row(name, { { 14, 14, 14 }, later, { 15, 15, 15 }, earlier }, { 32, 8, -28, -4 }, expected,
            { { 15, 15, 15 }, merged, { 14, 14, 14 } }, { -28, 8, 32 });
    };
    merge("lower wins", { 12.5, 20, 30 }, { 11, 21, 30 }, { 11, 20, 30 }, { 1, 0, 2, 1, 2, 1 });
    merge("price beats no offer", { 0, 20, 0 }, { 11, 0, 0 }, { 11, 20, 0 }, { 1, 0, 2, 1, 2, 0 });
    merge("no offer twice", { 0, 0, 0 }, { 0, 0, 0 }, { 0, 0, 0 }, { 2, 0, 2, 0, 2, 0 });
}

// Another product's cheaper point lies beside the history and must not count.
void TestDatabaseManager::extremesOfEachColumn()
{
    QFETCH(QList<Prices>, rows);
    QFETCH(QList<int>, hours);
    QFETCH(QList<int>, expected);
    QFETCH(QList<Prices>, points);
    QFETCH(QList<int>, pointHours);
    const QDateTime base = LocalTime("2026-01-01T12:00:00", "Europe/Berlin");
    InsertPoint("B00OTHER01", { 1, 1, 1 }, base);
    for (int i = 0; i < rows.size(); ++i)
        InsertPoint(kAsin, rows.at(i), base.addSecs(hours.at(i) * 3600));
    if (points.isEmpty()) {
        points = rows;
        pointHours = hours;
    }

    const QVariantMap history = m_manager->GetPriceHistory(kAsin, "us");
    const QVariantList read = history.value("PriceHistory").toList();
    QCOMPARE(read.size(), points.size());
    for (int i = 0; i < read.size(); ++i) {
        QCOMPARE(PricesOf(read.at(i)), points.at(i));
        QCOMPARE(read.at(i).toMap().value("Timestamp").toLongLong(),
            base.addSecs(pointHours.at(i) * 3600).toSecsSinceEpoch());
    }
    QCOMPARE(history.value("Locale").toString(), "us");
    QCOMPARE(history.size(), 2 + expected.size());
    const QStringList keys { "PriceLowest", "PriceHighest", "NewLowest", "NewHighest", "UsedLowest",
        "UsedHighest" };
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(history.value(keys.at(i)).toMap(), read.value(expected.at(i)).toMap());
}

void TestDatabaseManager::pointsHoldWhatQtsDriverReads_data()
{
    QTest::addColumn<QString>("values"); // id, ASIN, Locale, Price, PriceNew, PriceUsed
    QTest::addColumn<QString>("change"); // made after the history was first read
    QTest::newRow("usual row") << "NULL, 'B00TEST001', 'us', 19.99, 0, 12.5" << QString();
    QTest::newRow("integer id, whole prices") << "7, 'B00TEST001', 'us', 20, 18, 0" << QString();
    QTest::newRow("prices as text") << "NULL, 'B00TEST001', 'us', 'n/a', '', '3,50'" << QString();
    QTest::newRow("missing prices") << "NULL, 'B00TEST001', 'us', NULL, NULL, NULL" << QString();
    QTest::newRow("bytes") << "x'00ff', 'B00TEST001', 'us', x'41', 1, 2" << QString();
    QTest::newRow("beyond ASCII") << "'Zoë 日本', 'B00TEST001', 'us', 1, 2, 3" << QString();
    QTest::newRow("ASIN in other case") << "NULL, 'b00test001', 'US', 1, 2, 3" << QString();
    QTest::newRow("column added later") << "NULL, 'B00TEST001', 'us', 1, 2, 3"
                                        << "ALTER TABLE pricehistory ADD Note text DEFAULT 'x'";
}

// The history is read beside Qt's driver: each point must hold the same
// columns and values, of the same types, as a row read through QSqlQuery.
void TestDatabaseManager::pointsHoldWhatQtsDriverReads()
{
    QFETCH(QString, values);
    QFETCH(QString, change);
    const qint64 nTime = LocalTime("2026-03-01T12:00:00", "Europe/Berlin").toSecsSinceEpoch();
    QVERIFY(Sql(QStringLiteral("INSERT INTO pricehistory (id, ASIN, Locale, Price, PriceNew, "
                               "PriceUsed, Timestamp) VALUES (%1, %2)")
                    .arg(values)
                    .arg(nTime))
                .isValid());
    QCOMPARE(History().size(), 1);
    QVERIFY(change.isEmpty() || Sql(change).isValid());

    QSqlQuery query(QSqlDatabase::database(m_manager->ConnectionName()));
    QVERIFY(query.exec("SELECT * FROM pricehistory") && query.next());
    QVariantMap expected;
    for (int i = 0; i < query.record().count(); ++i)
        expected.insert(query.record().fieldName(i), query.value(i));
    query.finish();

    const QVariantMap point = History().value(0).toMap();
    QCOMPARE(point.keys(), expected.keys());
    for (const QString& strKey : expected.keys()) {
        QCOMPARE(point.value(strKey).typeId(), expected.value(strKey).typeId());
        QCOMPARE(point.value(strKey).isNull(), expected.value(strKey).isNull());
        QCOMPARE(point.value(strKey), expected.value(strKey));
    }
}

void TestDatabaseManager::csvExport_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QList<Prices>>("rows"); // one a day from 2026-03-08
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("euro, gaps empty")
        << "de" << QList<Prices> { { 19.99, 18.5, 0 }, { 1299, 0, 7.004 } }
        << QByteArray("Date,Price (EUR),New (EUR),Used (EUR)\r\n2026-03-08,19.99,18.50,\r\n"
                      "2026-03-09,1299.00,,7.00\r\n");
    QTest::newRow("yen without decimals")
        << "jp" << QList<Prices> { { 1980, 2480.4, 990 } }
        << QByteArray("Date,Price (JPY),New (JPY),Used (JPY)\r\n2026-03-08,1980,2480,990\r\n");
}

// Stamped just after local midnight: the row carries the Berlin date, not the
// UTC one (the day before).
void TestDatabaseManager::csvExport()
{
    QFETCH(QString, locale);
    QFETCH(QList<Prices>, rows);
    QFETCH(QByteArray, expected);
    const QDateTime first = LocalTime("2026-03-08T00:30:00", "Europe/Berlin");
    for (int i = 0; i < rows.size(); ++i)
        InsertPoint(kAsin, rows.at(i), first.addDays(i), locale);
    const QVariantMap history = m_manager->GetPriceHistory(kAsin, locale);
    QCOMPARE(PriceHistoryCsv::Text(history, m_manager->Clock()), expected);

    // A translated header may hold the characters that need quoting.
    QCOMPARE(PriceHistoryCsv::Field("Prix, neuf"), "\"Prix, neuf\"");
    QCOMPARE(PriceHistoryCsv::Field("5\" \"Zoll\""), "\"5\"\" \"\"Zoll\"\"\"");
    QCOMPARE(PriceHistoryCsv::Field("a\rb"), "\"a\rb\"");
    QCOMPARE(PriceHistoryCsv::Field("a\nb"), "\"a\nb\"");
}

QTEST_GUILESS_MAIN(TestDatabaseManager)
#include "tst_databasemanager.moc"
