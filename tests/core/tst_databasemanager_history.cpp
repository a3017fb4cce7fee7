// The price history of the local store: one point per product, store and
// local day, lowered within the day, and the history read back with its
// extremes.

#include "DatabaseManager.h"
#include "DayClock.h"
#include "ScratchEnvironment.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTimeZone>

namespace {

using Prices = QList<double>;

QVariantMap Reply(const QString& strAsin, const QString& strLocale, const Prices& prices)
{
    return { { QStringLiteral("ASIN"), strAsin }, { QStringLiteral("Locale"), strLocale },
        { QStringLiteral("Price"), prices.value(0) },
        { QStringLiteral("LowestNewPrice"), prices.value(1) },
        { QStringLiteral("LowestUsedPrice"), prices.value(2) },
        { QStringLiteral("Availability"), QStringLiteral("Usually ships in 24 hours") } };
}

Prices PricesOf(const QVariant& point)
{
    const QVariantMap map = point.toMap();
    return { map.value("Price").toDouble(), map.value("PriceNew").toDouble(),
        map.value("PriceUsed").toDouble() };
}

QDateTime LocalTime(const QString& strDateTime, const QByteArray& zone)
{
    return QDateTime(QDateTime::fromString(strDateTime, Qt::ISODate).date(),
        QDateTime::fromString(strDateTime, Qt::ISODate).time(), QTimeZone(zone));
}

} // namespace

class TestPriceHistory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dayClockAgreesWithTheZone_data();
    void dayClockAgreesWithTheZone();
    void firstLookupWritesOnePointAtTheClockTime();
    void sameDayLowersOnlyToPositivePrices_data();
    void sameDayLowersOnlyToPositivePrices();
    void laterDayWritesOnlyChanges_data();
    void laterDayWritesOnlyChanges();
    void dayFollowsTheLocalCalendar_data();
    void dayFollowsTheLocalCalendar();
    void pointsAfter2038KeepTheirDay();
    void eachProductAndStoreHasItsOwnHistory_data();
    void eachProductAndStoreHasItsOwnHistory();

    void emptyHistoryHasNoExtremes();
    void sameDayRowsMerge_data();
    void sameDayRowsMerge();
    void highestIgnoresAValueLostInAMerge();
    void historyComesOldestFirst();
    void extremesOfEachColumn_data();
    void extremesOfEachColumn();
    void pointsHoldWhatQtsDriverReads_data();
    void pointsHoldWhatQtsDriverReads();
    void failedReadIsReportedAndTriedAgain();
    void changedTableIsReadWithItsColumns();

private:
    void InsertRaw(const QString& strAsin, const QString& strLocale, const Prices& prices,
        const QDateTime& time);
    bool Execute(const QString& strStatement);
    QVariantList History(const QString& strAsin = QStringLiteral("B00TEST001"),
        const QString& strLocale = QStringLiteral("us"));

    std::unique_ptr<ScratchEnvironment> m_env;
    std::unique_ptr<DatabaseManager> m_manager;
    QDateTime m_now;
};

void TestPriceHistory::init()
{
    m_env = std::make_unique<ScratchEnvironment>();
    m_manager = std::make_unique<DatabaseManager>(m_env->filePath("history.dat"));
    m_now = LocalTime("2026-03-10T09:00:00", "Europe/Berlin");
    m_manager->SetClock([this]() { return m_now; });
    m_manager->SetTimeZone(QTimeZone("Europe/Berlin"));
}

void TestPriceHistory::cleanup()
{
    m_manager.reset();
    m_env.reset();
}

void TestPriceHistory::InsertRaw(
    const QString& strAsin, const QString& strLocale, const Prices& prices, const QDateTime& time)
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

bool TestPriceHistory::Execute(const QString& strStatement)
{
    QSqlQuery query(QSqlDatabase::database(m_manager->ConnectionName()));
    if (query.exec(strStatement))
        return true;
    qWarning() << strStatement << query.lastError().text();
    return false;
}

QVariantList TestPriceHistory::History(const QString& strAsin, const QString& strLocale)
{
    return m_manager->GetPriceHistory(strAsin, strLocale).value("PriceHistory").toList();
}

void TestPriceHistory::dayClockAgreesWithTheZone_data()
{
    QTest::addColumn<QTimeZone>("zone");
    QTest::addColumn<QDateTime>("from");
    const QDateTime from2025(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC);
    QTest::newRow("Berlin") << QTimeZone("Europe/Berlin") << from2025;
    QTest::newRow("New York") << QTimeZone("America/New_York") << from2025;
    QTest::newRow("Lord Howe, half-hour summer time")
        << QTimeZone("Australia/Lord_Howe") << from2025;
    QTest::newRow("Tokyo") << QTimeZone("Asia/Tokyo") << from2025;
    QTest::newRow("UTC") << QTimeZone::utc() << from2025;
    QTest::newRow("fixed -03:30") << QTimeZone(-12600) << from2025;
    QTest::newRow("Berlin before 1970")
        << QTimeZone("Europe/Berlin") << QDateTime(QDate(1968, 6, 1), QTime(0, 0), Qt::UTC);
}

// The clock dates points by arithmetic between the zone's transitions; it
// must give the zone's own local date for any moment, in any order.
void TestPriceHistory::dayClockAgreesWithTheZone()
{
    QFETCH(QTimeZone, zone);
    QFETCH(QDateTime, from);
    QVERIFY(zone.isValid());
    DayClock clock;
    clock.SetTimeZone(zone);
    const qint64 nStart = from.toSecsSinceEpoch();
    const qint64 nStep = 7919; // about 2.2 hours, so every hour of the day is met
    const int nSteps = 2 * 365 * 24 * 3600 / int(nStep);
    QList<qint64> moments;
    for (int i = 0; i < nSteps; ++i)
        moments.append(nStart + i * nStep);
    for (int i = nSteps - 1; i >= 0; i -= 3)
        moments.append(nStart + i * nStep);
    for (qint64 nMoment : std::as_const(moments)) {
        const QDate expected = QDateTime::fromSecsSinceEpoch(nMoment, zone).date();
        if (clock.DateOf(nMoment) != expected)
            QFAIL(qPrintable(QStringLiteral("%1: %2 instead of %3")
                                 .arg(nMoment)
                                 .arg(clock.DateOf(nMoment).toString(Qt::ISODate),
                                     expected.toString(Qt::ISODate))));
    }
}

void TestPriceHistory::firstLookupWritesOnePointAtTheClockTime()
{
    QSignalSpy updated(m_manager.get(), &DatabaseManager::PriceUpdated);
    m_manager->UpdateItems({ Reply("B00TEST001", "us", { 19.99, 17.5, 12 }) });
    QCOMPARE(updated.count(), 1);
    const QVariantList history = History();
    QCOMPARE(history.size(), 1);
    const QVariantMap point = history.first().toMap();
    QCOMPARE(point.value("Timestamp").toLongLong(), m_now.toSecsSinceEpoch());
    QCOMPARE(PricesOf(point), Prices({ 19.99, 17.5, 12 }));
    QCOMPARE(point.value("ASIN").toString(), QStringLiteral("B00TEST001"));
    QCOMPARE(point.value("Locale").toString(), QStringLiteral("us"));
    QVERIFY(point.value("id").isNull());
}

void TestPriceHistory::sameDayLowersOnlyToPositivePrices_data()
{
    QTest::addColumn<Prices>("first");
    QTest::addColumn<Prices>("second");
    QTest::addColumn<Prices>("stored");
    QTest::addColumn<int>("updates");
    QTest::newRow("lower price") << Prices { 10, 20, 30 } << Prices { 9, 20, 30 }
                                 << Prices { 9, 20, 30 } << 1;
    QTest::newRow("all three lower")
        << Prices { 10, 20, 30 } << Prices { 9, 19, 29 } << Prices { 9, 19, 29 } << 1;
    QTest::newRow("higher prices")
        << Prices { 10, 20, 30 } << Prices { 11, 21, 31 } << Prices { 10, 20, 30 } << 0;
    QTest::newRow("offers gone") << Prices { 10, 20, 30 } << Prices { 0, 0, 0 }
                                 << Prices { 10, 20, 30 } << 0;
    QTest::newRow("mixed") << Prices { 10, 20, 30 } << Prices { 9.5, 25, 0 }
                           << Prices { 9.5, 20, 30 } << 1;
    QTest::newRow("first seen without offer keeps 0")
        << Prices { 0, 20, 0 } << Prices { 8, 20, 5 } << Prices { 0, 20, 0 } << 0;
}

void TestPriceHistory::sameDayLowersOnlyToPositivePrices()
{
    QFETCH(Prices, first);
    QFETCH(Prices, second);
    QFETCH(Prices, stored);
    QFETCH(int, updates);
    m_manager->UpdatePrice(Reply("B00TEST001", "us", first));
    const qint64 nFirstSeen = m_now.toSecsSinceEpoch();
    QSignalSpy updated(m_manager.get(), &DatabaseManager::PriceUpdated);
    QSignalSpy errors(m_manager.get(), &DatabaseManager::Error);

    m_now = m_now.addSecs(10 * 3600);
    m_manager->UpdatePrice(Reply("b00test001", "us", second));

    QCOMPARE(updated.count(), updates);
    const QVariantList history = History();
    QCOMPARE(history.size(), 1);
    QCOMPARE(PricesOf(history.first()), stored);
    QCOMPARE(history.first().toMap().value("Timestamp").toLongLong(), nFirstSeen);
    QCOMPARE(errors.count(), 0);
}

void TestPriceHistory::laterDayWritesOnlyChanges_data()
{
    QTest::addColumn<Prices>("next");
    QTest::addColumn<int>("points");
    QTest::newRow("unchanged") << Prices { 10, 20, 30 } << 1;
    QTest::newRow("price changed") << Prices { 11, 20, 30 } << 2;
    QTest::newRow("new price changed") << Prices { 10, 19, 30 } << 2;
    QTest::newRow("used price changed") << Prices { 10, 20, 31 } << 2;
    QTest::newRow("offer gone") << Prices { 0, 20, 30 } << 2;
}

void TestPriceHistory::laterDayWritesOnlyChanges()
{
    QFETCH(Prices, next);
    QFETCH(int, points);
    m_manager->UpdatePrice(Reply("B00TEST001", "us", { 10, 20, 30 }));
    QSignalSpy updated(m_manager.get(), &DatabaseManager::PriceUpdated);

    m_now = m_now.addDays(3);
    m_manager->UpdatePrice(Reply("B00TEST001", "us", next));

    QCOMPARE(updated.count(), points - 1);
    const QVariantList history = History();
    QCOMPARE(history.size(), points);
    QCOMPARE(PricesOf(history.last()), next);
    QCOMPARE(history.last().toMap().value("Timestamp").toLongLong(),
        points == 2 ? m_now.toSecsSinceEpoch() : m_now.addDays(-3).toSecsSinceEpoch());
}

void TestPriceHistory::dayFollowsTheLocalCalendar_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("sameDay");
    // Each pair lies on one UTC day but two local days, or the reverse.
    QTest::newRow("Berlin, midnight between")
        << QByteArray("Europe/Berlin") << "2026-03-10T23:30:00"
        << "2026-03-11T00:30:00" << false;
    QTest::newRow("Berlin, whole local day") << QByteArray("Europe/Berlin") << "2026-03-10T00:10:00"
                                             << "2026-03-10T23:50:00" << true;
    QTest::newRow("Berlin, 23-hour day") << QByteArray("Europe/Berlin") << "2026-03-29T00:30:00"
                                         << "2026-03-29T23:30:00" << true;
    QTest::newRow("Tokyo, morning after") << QByteArray("Asia/Tokyo") << "2026-03-10T23:00:00"
                                          << "2026-03-11T08:00:00" << false;
    QTest::newRow("New York, evening") << QByteArray("America/New_York") << "2026-03-10T01:00:00"
                                       << "2026-03-10T22:00:00" << true;
}

void TestPriceHistory::dayFollowsTheLocalCalendar()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, sameDay);
    m_manager->SetTimeZone(QTimeZone(zone));
    m_now = LocalTime(first, zone);
    m_manager->UpdatePrice(Reply("B00TEST001", "us", { 10, 20, 30 }));
    m_now = LocalTime(second, zone);
    m_manager->UpdatePrice(Reply("B00TEST001", "us", { 9, 20, 30 }));

    QSqlQuery query(QSqlDatabase::database(m_manager->ConnectionName()));
    QVERIFY(query.exec("SELECT count(*) FROM pricehistory"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), sameDay ? 1 : 2);
    QCOMPARE(History().size(), sameDay ? 1 : 2);
    QCOMPARE(PricesOf(History().last()), Prices({ 9, 20, 30 }));
}

// Seconds past 2^31 must neither wrap to 1901 nor lose their day.
void TestPriceHistory::pointsAfter2038KeepTheirDay()
{
    m_now = LocalTime("2040-06-01T08:00:00", "Europe/Berlin");
    m_manager->UpdatePrice(Reply("B00TEST001", "us", { 10, 20, 30 }));
    m_now = m_now.addSecs(3600);
    m_manager->UpdatePrice(Reply("B00TEST001", "us", { 9, 20, 30 }));
    m_now = m_now.addDays(1);
    m_manager->UpdatePrice(Reply("B00TEST001", "us", { 9, 20, 30 }));

    const QVariantList history = History();
    QCOMPARE(history.size(), 1);
    QCOMPARE(PricesOf(history.first()), Prices({ 9, 20, 30 }));
    QCOMPARE(history.first().toMap().value("Timestamp").toLongLong(),
        LocalTime("2040-06-01T08:00:00", "Europe/Berlin").toSecsSinceEpoch());
}

void TestPriceHistory::eachProductAndStoreHasItsOwnHistory_data()
{
    QTest::addColumn<QString>("asin");
    QTest::addColumn<QString>("locale");
    QTest::newRow("underscore") << "B0_TEST001"
                                << "us";
    QTest::newRow("percent") << "%"
                             << "us";
    QTest::newRow("locale wildcard") << "B0XTEST001"
                                     << "_s";
    QTest::newRow("other store") << "B0XTEST001"
                                 << "ca";
}

// A product's points are never lowered by, merged with or shown as another
// product's, whatever characters the ASIN holds.
void TestPriceHistory::eachProductAndStoreHasItsOwnHistory()
{
    QFETCH(QString, asin);
    QFETCH(QString, locale);
    m_manager->UpdatePrice(Reply("B0XTEST001", "us", { 10, 20, 30 }));
    m_manager->UpdatePrice(Reply(asin, locale, { 5, 6, 7 }));
    m_manager->UpdatePrice(Reply(asin, locale, { 4, 6, 7 }));

    QCOMPARE(History("B0XTEST001", "us").size(), 1);
    QCOMPARE(PricesOf(History("B0XTEST001", "us").first()), Prices({ 10, 20, 30 }));
    const QVariantList own = History(asin, locale);
    QCOMPARE(own.size(), 1);
    QCOMPARE(PricesOf(own.first()), Prices({ 4, 6, 7 }));
    QCOMPARE(History(asin.toLower(), locale.toUpper()).size(), 1);
}

void TestPriceHistory::emptyHistoryHasNoExtremes()
{
    m_manager->UpdatePrice(Reply("B00OTHER01", "us", { 10, 20, 30 }));
    const QVariantMap history = m_manager->GetPriceHistory("B00TEST001", "de");
    QCOMPARE(history.keys(), QStringList({ "Locale", "PriceHistory" }));
    QCOMPARE(history.value("Locale").toString(), QStringLiteral("de"));
    QVERIFY(history.value("PriceHistory").toList().isEmpty());
}

void TestPriceHistory::sameDayRowsMerge_data()
{
    QTest::addColumn<Prices>("earlier");
    QTest::addColumn<Prices>("later");
    QTest::addColumn<Prices>("merged");
    QTest::newRow("lower wins") << Prices { 12.5, 20, 30 } << Prices { 11, 21, 30 }
                                << Prices { 11, 20, 30 };
    QTest::newRow("price beats no offer")
        << Prices { 0, 20, 0 } << Prices { 11, 0, 0 } << Prices { 11, 20, 0 };
    QTest::newRow("no offer twice")
        << Prices { 0, 0, 0 } << Prices { 0, 0, 0 } << Prices { 0, 0, 0 };
}

void TestPriceHistory::sameDayRowsMerge()
{
    QFETCH(Prices, earlier);
    QFETCH(Prices, later);
    QFETCH(Prices, merged);
    const QDateTime morning = LocalTime("2026-03-09T08:00:00", "Europe/Berlin");
    const QDateTime evening = LocalTime("2026-03-09T20:00:00", "Europe/Berlin");
    InsertRaw("B00TEST001", "us", { 15, 15, 15 }, morning.addDays(-1));
    InsertRaw("B00TEST001", "us", earlier, morning);
    InsertRaw("B00TEST001", "us", later, evening);
    InsertRaw("B00TEST001", "us", { 14, 14, 14 }, evening.addDays(1));

    const QVariantList history = History();
    QCOMPARE(history.size(), 3);
    QCOMPARE(PricesOf(history.at(1)), merged);
    QCOMPARE(history.at(1).toMap().value("Timestamp").toLongLong(), evening.toSecsSinceEpoch());
    QCOMPARE(PricesOf(history.at(0)), Prices({ 15, 15, 15 }));
    QCOMPARE(PricesOf(history.at(2)), Prices({ 14, 14, 14 }));
}

// The highest point is one of the points returned, with the value shown:
// a price that a lower one of its day replaced does not count.
void TestPriceHistory::highestIgnoresAValueLostInAMerge()
{
    const QDateTime morning = LocalTime("2026-03-09T08:00:00", "Europe/Berlin");
    InsertRaw("B00TEST001", "us", { 12.5, 0, 0 }, morning);
    InsertRaw("B00TEST001", "us", { 11, 0, 0 }, morning.addSecs(3600));
    InsertRaw("B00TEST001", "us", { 12, 0, 0 }, morning.addDays(1));

    const QVariantMap history = m_manager->GetPriceHistory("B00TEST001", "us");
    const QVariantList points = history.value("PriceHistory").toList();
    QCOMPARE(points.size(), 2);
    QCOMPARE(history.value("PriceHighest").toMap(), points.at(1).toMap());
    QCOMPARE(history.value("PriceLowest").toMap(), points.at(0).toMap());
    QCOMPARE(PricesOf(history.value("PriceLowest")).first(), 11.0);
}

void TestPriceHistory::historyComesOldestFirst()
{
    const QDateTime base = LocalTime("2026-01-01T12:00:00", "Europe/Berlin");
    for (int nDay : { 5, 1, 3, 2, 4 })
        InsertRaw("B00TEST001", "us", { double(nDay), 0, 0 }, base.addDays(nDay));
    QList<double> prices;
    for (const QVariant& point : History())
        prices.append(PricesOf(point).first());
    QCOMPARE(prices, QList<double>({ 1, 2, 3, 4, 5 }));
}

void TestPriceHistory::extremesOfEachColumn_data()
{
    QTest::addColumn<QList<Prices>>("days");
    QTest::addColumn<QList<int>>("expected"); // lowest, highest per column
    QTest::newRow("used all zero") << QList<Prices> { { 10, 9, 0 }, { 8, 12, 0 }, { 11, 7, 0 } }
                                   << QList<int> { 1, 2, 2, 1, 0, 0 };
    QTest::newRow("zero is no price") << QList<Prices> { { 0, 0, 5 }, { 10, 0, 0 }, { 12, 3, 5 } }
                                      << QList<int> { 1, 2, 2, 2, 0, 0 };
    QTest::newRow("ties keep the earlier") << QList<Prices> { { 9, 9, 9 }, { 9, 9, 9 },
        { 9, 9, 9 } } << QList<int> { 0, 0, 0, 0, 0, 0 };
    QTest::newRow("yen above ten million")
        << QList<Prices> { { 15000000, 0, 0 }, { 12000000, 0, 0 }, { 13000000, 0, 0 } }
        << QList<int> { 1, 0, 0, 0, 0, 0 };
}

void TestPriceHistory::extremesOfEachColumn()
{
    QFETCH(QList<Prices>, days);
    QFETCH(QList<int>, expected);
    const QDateTime base = LocalTime("2026-01-01T12:00:00", "Europe/Berlin");
    for (int i = 0; i < days.size(); ++i)
        InsertRaw("B00TEST001", "us", days.at(i), base.addDays(i));

    const QVariantMap history = m_manager->GetPriceHistory("B00TEST001", "us");
    const QVariantList points = history.value("PriceHistory").toList();
    const QStringList keys { "PriceLowest", "PriceHighest", "NewLowest", "NewHighest", "UsedLowest",
        "UsedHighest" };
    for (int i = 0; i < keys.size(); ++i)
        QCOMPARE(history.value(keys.at(i)).toMap(), points.at(expected.at(i)).toMap());
}

void TestPriceHistory::pointsHoldWhatQtsDriverReads_data()
{
    QTest::addColumn<QString>("values"); // id, ASIN, Locale, Price, PriceNew, PriceUsed
    QTest::newRow("usual row") << "NULL, 'B00TEST001', 'us', 19.99, 0, 12.5";
    QTest::newRow("integer id, whole prices") << "7, 'B00TEST001', 'us', 20, 18, 0";
    QTest::newRow("prices as text") << "NULL, 'B00TEST001', 'us', 'n/a', '', '3,50'";
    QTest::newRow("missing prices") << "NULL, 'B00TEST001', 'us', NULL, NULL, NULL";
    QTest::newRow("bytes") << "x'00ff', 'B00TEST001', 'us', x'41', 1, 2";
    QTest::newRow("letters beyond ASCII") << "'Zoë 日本', 'B00TEST001', 'us', 1, 2, 3";
    QTest::newRow("ASIN in other case") << "NULL, 'b00test001', 'US', 1, 2, 3";
}

// The history is read beside Qt's driver: each point must hold the same
// values of the same types as a row read through QSqlQuery.
void TestPriceHistory::pointsHoldWhatQtsDriverReads()
{
    QFETCH(QString, values);
    const qint64 nTime = LocalTime("2026-03-01T12:00:00", "Europe/Berlin").toSecsSinceEpoch();
    QVERIFY(Execute(QStringLiteral("INSERT INTO pricehistory (id, ASIN, Locale, Price, PriceNew, "
                                   "PriceUsed, Timestamp) VALUES (%1, %2)")
                        .arg(values)
                        .arg(nTime)));

    QSqlQuery query(QSqlDatabase::database(m_manager->ConnectionName()));
    QVERIFY(query.exec("SELECT * FROM pricehistory"));
    QVERIFY(query.next());
    QVariantMap expected;
    for (int i = 0; i < query.record().count(); ++i)
        expected.insert(query.record().fieldName(i), query.value(i));
    query.finish();

    const QVariantList history = History();
    QCOMPARE(history.size(), 1);
    const QVariantMap point = history.first().toMap();
    QCOMPARE(point.keys(), expected.keys());
    for (const QString& strKey : expected.keys()) {
        const QVariant value = point.value(strKey);
        QCOMPARE(value.typeId(), expected.value(strKey).typeId());
        QCOMPARE(value.isNull(), expected.value(strKey).isNull());
        QCOMPARE(value, expected.value(strKey));
    }
}

void TestPriceHistory::failedReadIsReportedAndTriedAgain()
{
    m_manager->UpdatePrice(Reply("B00TEST001", "us", { 10, 20, 30 }));
    QCOMPARE(History().size(), 1);
    QVERIFY(Execute("ALTER TABLE pricehistory RENAME TO pricehistory_moved"));
    QSignalSpy errors(m_manager.get(), &DatabaseManager::Error);

    const QVariantMap history = m_manager->GetPriceHistory("B00TEST001", "us");
    QCOMPARE(history.keys(), QStringList({ "Locale", "PriceHistory" }));
    QVERIFY(history.value("PriceHistory").toList().isEmpty());
    QCOMPARE(errors.count(), 1);
    QVERIFY2(errors.first().first().toString().contains("no such table: pricehistory"),
        qPrintable(errors.first().first().toString()));

    QVERIFY(Execute("ALTER TABLE pricehistory_moved RENAME TO pricehistory"));
    QCOMPARE(History().size(), 1);
    QCOMPARE(PricesOf(History().first()), Prices({ 10, 20, 30 }));
    QCOMPARE(errors.count(), 1);
}

// Every column is returned, also one added to the table after the history
// was first read.
void TestPriceHistory::changedTableIsReadWithItsColumns()
{
    m_manager->UpdatePrice(Reply("B00TEST001", "us", { 10, 20, 30 }));
    QCOMPARE(History().first().toMap().size(), 7);
    QVERIFY(Execute("ALTER TABLE pricehistory ADD Note text"));
    QVERIFY(Execute("UPDATE pricehistory SET Note = 'checked'"));

    const QVariantMap point = History().first().toMap();
    QCOMPARE(point.size(), 8);
    QCOMPARE(point.value("Note").toString(), QStringLiteral("checked"));
    QCOMPARE(PricesOf(point), Prices({ 10, 20, 30 }));
}

QTEST_GUILESS_MAIN(TestPriceHistory)
#include "tst_databasemanager_history.moc"
