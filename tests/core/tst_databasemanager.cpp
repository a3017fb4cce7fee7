// The file, its schema and the watch list of the local store.

#include "DatabaseManager.h"
#include "Global.h"
#include "ScratchEnvironment.h"
#include "StorageStatements.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>

namespace {

// A plain SQLite connection of the test's own, for building old files and
// looking at what the store wrote.
class RawConnection
{
public:
    explicit RawConnection(const QString& strPath)
        : m_strName(QStringLiteral("raw-%1").arg(++s_nCount))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_strName);
        db.setDatabaseName(strPath);
        db.open();
    }
    ~RawConnection()
    {
        QSqlDatabase::database(m_strName).close();
        QSqlDatabase::removeDatabase(m_strName);
    }

    bool Exec(const QString& strStatement)
    {
        QSqlQuery query(QSqlDatabase::database(m_strName));
        const bool bOk = query.exec(strStatement);
        if (!bOk)
            qWarning() << strStatement << query.lastError().text();
        return bOk;
    }
    QVariant Value(const QString& strStatement)
    {
        QSqlQuery query(QSqlDatabase::database(m_strName));
        if (!query.exec(strStatement) || !query.next())
            return {};
        return query.value(0);
    }

private:
    static inline int s_nCount = 0;
    QString m_strName;
};

QVariantMap Item(const QString& strAsin, const QString& strLocale,
    const QString& strTitle = QStringLiteral("A title"), int nCondition = 2,
    double dPriceLine = 9.5)
{
    return { { QStringLiteral("ASIN"), strAsin }, { QStringLiteral("Locale"), strLocale },
        { QStringLiteral("Title"), strTitle }, { QStringLiteral("WatchCondition"), nCondition },
        { QStringLiteral("PriceLine"), dPriceLine }, { QStringLiteral("ThirdParty"), true },
        { QStringLiteral("ThirdPartyUsed"), false }, { QStringLiteral("ActionEmail"), true },
        { QStringLiteral("ActionWebPage"), false }, { QStringLiteral("ActionCreateCart"), true },
        { QStringLiteral("Quantity"), 3 } };
}

QStringList AsinsOf(const QVariantList& rows)
{
    QStringList asins;
    for (const QVariant& row : rows)
        asins.append(row.toMap().value(QStringLiteral("ASIN")).toString());
    asins.sort();
    return asins;
}

// What the schema table keeps of a CREATE statement.
QString StoredCreateStatement(QString strStatement)
{
    return strStatement.remove(QStringLiteral("IF NOT EXISTS "));
}

const QString kOldWatchList = QStringLiteral(
    "CREATE TABLE watchlist (id int primary key,ASIN char(20),Locale char(2),WatchCondition "
    "int,PriceLine double,ThirdParty bool,ActionEmail bool,ActionWebPage bool,ActionCreateCart "
    "bool,Quantity int,Title tinytext )");

} // namespace

class TestDatabaseManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaultFileLiesInTheDataDirectory();
    void freshFileHasTheExactTables();
    void oldFileGainsThirdPartyUsedAndIndexes();
    void reopeningChangesNothing();
    void lookupsSeekWithTheIndexes_data();
    void lookupsSeekWithTheIndexes();

    void savingAPresentItemUpdatesIt_data();
    void savingAPresentItemUpdatesIt();
    void savedRecordReadsBackWithNullId();
    void missingKeysSaveAsZeroAndEmpty();
    void getItemsFiltersByLocale();
    void failingSecondOfThreeKeepsTheOthers_data();
    void failingSecondOfThreeKeepsTheOthers();

    void wildcardCharactersMatchOnlyThemselves_data();
    void wildcardCharactersMatchOnlyThemselves();
    void removeItemKeepsItsHistory();
    void getTableFieldsTakesTheNameAsData();

    void unopenableFileShowsCannotLoadOnce_data();
    void unopenableFileShowsCannotLoadOnce();
    void errorsWhileOpeningReachTheOwner();

private:
    QString DbPath() const { return m_env->filePath(QStringLiteral("test.dat")); }

    std::unique_ptr<ScratchEnvironment> m_env;
    QStringList m_loadFailures;
};

void TestDatabaseManager::init()
{
    m_env = std::make_unique<ScratchEnvironment>();
    m_loadFailures.clear();
    DatabaseManager::SetLoadFailureHandler([this](const QString& strTitle, const QString& strText) {
        m_loadFailures.append(strTitle + QLatin1Char('|') + strText);
    });
}

void TestDatabaseManager::cleanup()
{
    DatabaseManager::SetLoadFailureHandler(nullptr);
    m_env.reset();
}

void TestDatabaseManager::defaultFileLiesInTheDataDirectory()
{
    const QString strDataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY(QDir().mkpath(strDataDir));
    const QString strExpected = QDir(strDataDir).absoluteFilePath(QStringLiteral("userdata.dat"));
    QCOMPARE(DatabaseManager::DefaultFilePath(), strExpected);
    {
        DatabaseManager manager;
        QVERIFY(manager.IsOpen());
        manager.SaveItems({ Item(QStringLiteral("B000000001"), QStringLiteral("us")) });
    }
    QVERIFY(QFile::exists(strExpected));
    DatabaseManager reopened;
    QCOMPARE(reopened.GetItems(QString()).size(), 1);
    QVERIFY(m_loadFailures.isEmpty());
    QFile::remove(strExpected);
}

void TestDatabaseManager::freshFileHasTheExactTables()
{
    DatabaseManager manager(DbPath());
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    RawConnection raw(DbPath());
    QCOMPARE(raw.Value(QStringLiteral("SELECT sql FROM sqlite_master WHERE name='watchlist'"))
                 .toString(),
        StoredCreateStatement(StorageStatements::CreateWatchList()));
    QCOMPARE(raw.Value(QStringLiteral("SELECT sql FROM sqlite_master WHERE name='pricehistory'"))
                 .toString(),
        StoredCreateStatement(StorageStatements::CreatePriceHistory()));
    QCOMPARE(manager.GetTableFields(QStringLiteral("watchlist")),
        QStringList(
            { "id", "ASIN", "Locale", "WatchCondition", "PriceLine", "ThirdParty", "ThirdPartyUsed",
                "ActionEmail", "ActionWebPage", "ActionCreateCart", "Quantity", "Title" }));
    QCOMPARE(raw.Value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    QCoreApplication::processEvents();
    QCOMPARE(errors.count(), 0);
}

void TestDatabaseManager::oldFileGainsThirdPartyUsedAndIndexes()
{
    {
        RawConnection raw(DbPath());
        QVERIFY(raw.Exec(kOldWatchList));
        QVERIFY(raw.Exec(QStringLiteral(
            "INSERT INTO watchlist (ASIN, Locale, WatchCondition, PriceLine, ThirdParty, Title) "
            "VALUES ('B00OLD0001', 'uk', 2, 12.5, 1, 'Old row')")));
        QVERIFY(raw.Exec(StorageStatements::CreatePriceHistory()));
        QVERIFY(raw.Exec(QStringLiteral("INSERT INTO pricehistory (ASIN, Locale, Price, PriceNew, "
                                        "PriceUsed, Timestamp) VALUES ('B00OLD0001', 'uk', 12.5, "
                                        "11, 0, 1500000000)")));
    }
    DatabaseManager manager(DbPath());
    QSignalSpy errors(&manager, &DatabaseManager::Error);

    const QStringList fields = manager.GetTableFields(QStringLiteral("watchlist"));
    QCOMPARE(fields.size(), 12);
    QCOMPARE(fields.last(), QStringLiteral("ThirdPartyUsed"));

    const QVariantList rows = manager.GetItems(QString());
    QCOMPARE(rows.size(), 1);
    const QVariantMap row = rows.first().toMap();
    QCOMPARE(row.value("Title").toString(), QStringLiteral("Old row"));
    QCOMPARE(row.value("PriceLine").toDouble(), 12.5);
    QVERIFY(row.contains("ThirdPartyUsed"));
    QVERIFY(row.value("ThirdPartyUsed").isNull());
    QCOMPARE(row.value("ThirdPartyUsed").toBool(), false);
    QCOMPARE(row.value("ThirdParty").toBool(), true);

    const QVariantList history
        = manager.GetPriceHistory("b00old0001", "UK").value("PriceHistory").toList();
    QCOMPARE(history.size(), 1);
    QCOMPARE(history.first().toMap().value("PriceNew").toDouble(), 11.0);

    RawConnection raw(DbPath());
    QCOMPARE(raw.Value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='index' AND "
                                      "name IN ('watchlist_item', 'pricehistory_point')"))
                 .toInt(),
        2);
    QCoreApplication::processEvents();
    QCOMPARE(errors.count(), 0);
}

void TestDatabaseManager::reopeningChangesNothing()
{
    {
        DatabaseManager manager(DbPath());
        manager.SaveItems({ Item("B000000001", "us") });
    }
    DatabaseManager manager(DbPath());
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    QCOMPARE(manager.GetTableFields("watchlist").count("ThirdPartyUsed"), 1);
    QCOMPARE(manager.GetItems(QString()).size(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(errors.count(), 0);
}

void TestDatabaseManager::lookupsSeekWithTheIndexes_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("index");
    QTest::addColumn<bool>("ordered");
    QTest::newRow("presence") << StorageStatements::SelectItem() << "watchlist_item" << false;
    QTest::newRow("update item") << StorageStatements::UpdateItem() << "watchlist_item" << false;
    QTest::newRow("remove item") << StorageStatements::DeleteItem() << "watchlist_item" << false;
    QTest::newRow("last point") << StorageStatements::SelectLastPoint() << "pricehistory_point"
                                << true;
    QTest::newRow("history") << StorageStatements::SelectHistory() << "pricehistory_point" << true;
    QTest::newRow("lower point") << StorageStatements::LowerPoint(
        { "Price", "PriceNew", "PriceUsed" })
                                 << "pricehistory_point" << false;
}

// The plan of each look-up must seek the index on both ASIN and locale and
// read the points in index order; a scan or a temporary sort would read the
// whole history of every product.
void TestDatabaseManager::lookupsSeekWithTheIndexes()
{
    QFETCH(QString, statement);
    QFETCH(QString, index);
    QFETCH(bool, ordered);
    DatabaseManager manager(DbPath());
    QSqlQuery query(QSqlDatabase::database(manager.ConnectionName()));
    QVERIFY(query.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + statement));
    const int nParameters = int(statement.count(QLatin1Char('?')));
    for (int i = 0; i < nParameters; ++i)
        query.addBindValue(QStringLiteral("X"));
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
    QStringList plan;
    while (query.next())
        plan.append(query.value(3).toString());
    const QString strPlan = plan.join(QLatin1Char('\n'));
    const QRegularExpression seek(
        QStringLiteral("USING (COVERING )?INDEX %1 \\(ASIN=\\? AND Locale=\\?").arg(index));
    QVERIFY2(strPlan.contains(seek), qPrintable(strPlan));
    QVERIFY2(!strPlan.contains(QStringLiteral("SCAN")), qPrintable(strPlan));
    if (ordered)
        QVERIFY2(!strPlan.contains(QStringLiteral("TEMP B-TREE")), qPrintable(strPlan));
}

void TestDatabaseManager::savingAPresentItemUpdatesIt_data()
{
    QTest::addColumn<QString>("asin");
    QTest::addColumn<QString>("locale");
    QTest::newRow("same ASIN") << "B00ABCDEF1"
                               << "de";
    QTest::newRow("ASIN in lower case") << "b00abcdef1"
                                        << "de";
    QTest::newRow("locale in upper case") << "B00ABCDEF1"
                                          << "DE";
}

void TestDatabaseManager::savingAPresentItemUpdatesIt()
{
    QFETCH(QString, asin);
    QFETCH(QString, locale);
    DatabaseManager manager(DbPath());
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    manager.SaveItems({ Item("B00ABCDEF1", "de", "First", 2, 9.5), Item("B00ABCDEF1", "fr") });

    QVariantMap changed = Item(asin, locale, "Second", 1, 7.25);
    changed.insert("ThirdPartyUsed", true);
    changed.insert("ActionEmail", false);
    changed.insert("Quantity", 5);
    manager.SaveItems({ changed });

    const QVariantList german = manager.GetItems("de");
    QCOMPARE(german.size(), 1);
    const QVariantMap row = german.first().toMap();
    QCOMPARE(row.value("ASIN").toString(), QStringLiteral("B00ABCDEF1"));
    QCOMPARE(row.value("Title").toString(), QStringLiteral("Second"));
    QCOMPARE(row.value("WatchCondition").toInt(), 1);
    QCOMPARE(row.value("PriceLine").toDouble(), 7.25);
    QCOMPARE(row.value("ThirdPartyUsed").toInt(), 1);
    QCOMPARE(row.value("ActionEmail").toInt(), 0);
    QCOMPARE(row.value("Quantity").toInt(), 5);
    QCOMPARE(manager.GetItems("fr").first().toMap().value("Title").toString(), "A title");
    QCOMPARE(manager.GetItems(QString()).size(), 2);
    QVERIFY(manager.HasItem(asin, locale));
    QCOMPARE(errors.count(), 0);
}

void TestDatabaseManager::savedRecordReadsBackWithNullId()
{
    DatabaseManager manager(DbPath());
    manager.SaveItems({ Item("B000000001", "jp", "Title", 2, 1999) });
    const QVariantMap row = manager.GetItems(QString()).first().toMap();
    QCOMPARE(row.size(), 12);
    QVERIFY(row.contains("id"));
    QVERIFY(row.value("id").isNull());
    QCOMPARE(row.value("ThirdParty").toInt(), 1);
    QCOMPARE(row.value("ThirdPartyUsed").toInt(), 0);
    QCOMPARE(row.value("ActionCreateCart").toInt(), 1);
    QCOMPARE(row.value("ActionWebPage").toInt(), 0);
    QCOMPARE(row.value("Quantity").toInt(), 3);
    QCOMPARE(row.value("PriceLine").toDouble(), 1999.0);
}

void TestDatabaseManager::missingKeysSaveAsZeroAndEmpty()
{
    DatabaseManager manager(DbPath());
    manager.SaveItems({ QVariantMap { { "ASIN", "B000000002" }, { "Locale", "ca" } } });
    const QVariantMap row = manager.GetItems("ca").first().toMap();
    QCOMPARE(row.value("Title").toString(), QString());
    QVERIFY(!row.value("Title").isNull());
    QCOMPARE(row.value("WatchCondition").toInt(), 0);
    QVERIFY(!row.value("WatchCondition").isNull());
    QCOMPARE(row.value("ThirdParty").toInt(), 0);
    QVERIFY(!row.value("ThirdParty").isNull());
}

void TestDatabaseManager::getItemsFiltersByLocale()
{
    DatabaseManager manager(DbPath());
    manager.SaveItems({ Item("B1", "us"), Item("B2", "de"), Item("B3", "de"), Item("B4", "jp") });
    QCOMPARE(AsinsOf(manager.GetItems(QString())), QStringList({ "B1", "B2", "B3", "B4" }));
    QCOMPARE(AsinsOf(manager.GetItems("de")), QStringList({ "B2", "B3" }));
    QCOMPARE(AsinsOf(manager.GetItems("DE")), QStringList({ "B2", "B3" }));
    QCOMPARE(AsinsOf(manager.GetItems("fr")), QStringList());
    QCOMPARE(AsinsOf(manager.GetItems("_e")), QStringList());
}

void TestDatabaseManager::failingSecondOfThreeKeepsTheOthers_data()
{
    QTest::addColumn<bool>("alreadyStored");
    QTest::newRow("inserts") << false;
    QTest::newRow("updates") << true;
}

void TestDatabaseManager::failingSecondOfThreeKeepsTheOthers()
{
    QFETCH(bool, alreadyStored);
    DatabaseManager manager(DbPath());
    if (alreadyStored)
        manager.SaveItems(
            { Item("B1", "us", "old"), Item("B2", "us", "old"), Item("B3", "us", "old") });
    RawConnection raw(DbPath());
    QVERIFY(raw.Exec(QStringLiteral("CREATE TRIGGER refuse_b2 BEFORE %1 ON watchlist WHEN "
                                    "NEW.ASIN = 'B2' BEGIN SELECT RAISE(ABORT, 'refused by "
                                    "test'); END")
                         .arg(alreadyStored ? "UPDATE" : "INSERT")));
    QSignalSpy errors(&manager, &DatabaseManager::Error);

    manager.SaveItems(
        { Item("B1", "us", "new"), Item("B2", "us", "new"), Item("B3", "us", "new") });

    QCOMPARE(errors.count(), 1);
    QVERIFY2(errors.first().first().toString().contains("refused by test"),
        qPrintable(errors.first().first().toString()));
    QMap<QString, QString> titles;
    for (const QVariant& row : manager.GetItems(QString()))
        titles.insert(row.toMap().value("ASIN").toString(), row.toMap().value("Title").toString());
    QMap<QString, QString> expected { { "B1", "new" }, { "B3", "new" } };
    if (alreadyStored)
        expected.insert("B2", "old");
    QCOMPARE(titles, expected);
}

void TestDatabaseManager::wildcardCharactersMatchOnlyThemselves_data()
{
    QTest::addColumn<QString>("asin");
    QTest::addColumn<QString>("locale");
    QTest::newRow("underscore") << "B0_1"
                                << "us";
    QTest::newRow("percent") << "B0%"
                             << "us";
    QTest::newRow("only percent") << "%"
                                  << "us";
    QTest::newRow("wildcard locale") << "B0X1"
                                     << "_s";
}

// Removing or saving one item must touch its own row only, whatever
// characters its ASIN and locale contain.
void TestDatabaseManager::wildcardCharactersMatchOnlyThemselves()
{
    QFETCH(QString, asin);
    QFETCH(QString, locale);
    DatabaseManager manager(DbPath());
    const QVariantList neighbours { Item("B0X1", "us", "neighbour"),
        Item("B0Y1", "us", "neighbour"), Item("B0ABC", "us", "neighbour") };
    manager.SaveItems(neighbours);

    QVERIFY(!manager.HasItem(asin, locale));
    manager.SaveItems({ Item(asin, locale, "own") });
    QCOMPARE(manager.GetItems(QString()).size(), 4);
    for (const QVariant& row : manager.GetItems(QString())) {
        const QVariantMap map = row.toMap();
        const bool bOwn = map.value("ASIN") == asin && map.value("Locale") == locale;
        QCOMPARE(map.value("Title").toString(), bOwn ? QString("own") : QString("neighbour"));
    }

    manager.RemoveItem(Item(asin, locale));
    QCOMPARE(AsinsOf(manager.GetItems(QString())), AsinsOf(neighbours));
}

void TestDatabaseManager::removeItemKeepsItsHistory()
{
    DatabaseManager manager(DbPath());
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    manager.SaveItems({ Item("B000000001", "us"), Item("B000000002", "us") });
    manager.UpdateItems(
        { QVariantMap { { "ASIN", "B000000001" }, { "Locale", "us" }, { "Price", 5.0 } } });

    manager.RemoveItem(Item("b000000001", "us"));

    QVERIFY(!manager.HasItem("B000000001", "us"));
    QCOMPARE(AsinsOf(manager.GetItems(QString())), QStringList({ "B000000002" }));
    QCOMPARE(manager.GetPriceHistory("B000000001", "us").value("PriceHistory").toList().size(), 1);
    manager.SaveItems({ Item("B000000001", "us") });
    QCOMPARE(manager.GetPriceHistory("B000000001", "us").value("PriceHistory").toList().size(), 1);
    QCOMPARE(errors.count(), 0);
}

void TestDatabaseManager::getTableFieldsTakesTheNameAsData()
{
    DatabaseManager manager(DbPath());
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    QCOMPARE(manager.GetTableFields("pricehistory"),
        QStringList({ "id", "ASIN", "Locale", "Price", "PriceNew", "PriceUsed", "Timestamp" }));
    QCOMPARE(manager.GetTableFields("nosuchtable"), QStringList());
    QCOMPARE(manager.GetTableFields("watchlist); DROP TABLE pricehistory; --"), QStringList());
    QCOMPARE(manager.GetTableFields("pricehistory").size(), 7);
    QCOMPARE(errors.count(), 0);
}

void TestDatabaseManager::unopenableFileShowsCannotLoadOnce_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("directory missing") << "missing/dir/userdata.dat" << QByteArray();
    QTest::newRow("not a database")
        << "userdata.dat" << QByteArray("This is a letter, not a database.\n").repeated(200);
    QTest::newRow("path is a directory") << "adirectory" << QByteArray();
}

// The user is told once; the list stays empty, every later statement fails
// through Error, and the file is left as it was.
void TestDatabaseManager::unopenableFileShowsCannotLoadOnce()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    const QString strPath = m_env->filePath(fileName);
    if (!content.isEmpty()) {
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    if (fileName == "adirectory")
        QVERIFY(QDir().mkpath(strPath));

    DatabaseManager manager(strPath);
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    QSignalSpy prices(&manager, &DatabaseManager::PriceUpdated);
    QCOMPARE(m_loadFailures,
        QStringList({ QStringLiteral("Cannot Load|Unable to load previously saved items.") }));
    QVERIFY(!manager.IsOpen());

    QCOMPARE(manager.GetItems(QString()), QVariantList());
    QCOMPARE(errors.count(), 1);
    QVERIFY(!manager.HasItem("B1", "us"));
    QCOMPARE(errors.count(), 1);
    manager.SaveItems({ Item("B1", "us"), Item("B2", "us") });
    QCOMPARE(errors.count(), 3);
    manager.UpdatePrice(QVariantMap { { "ASIN", "B1" }, { "Locale", "us" }, { "Price", 1.0 } });
    QCOMPARE(prices.count(), 0);
    QVERIFY(errors.count() >= 4);
    for (const QList<QVariant>& error : std::as_const(errors))
        QVERIFY(!error.first().toString().trimmed().isEmpty());
    QCOMPARE(m_loadFailures.size(), 1);

    if (!content.isEmpty()) {
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }
}

// Opening runs before anyone can connect; its failures must still reach the
// owner, who connects right after construction.
void TestDatabaseManager::errorsWhileOpeningReachTheOwner()
{
    {
        RawConnection raw(DbPath());
        QVERIFY(raw.Exec("CREATE VIEW watchlist AS SELECT 'B1' AS ASIN, 'us' AS Locale"));
    }
    DatabaseManager manager(DbPath());
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    QCOMPARE(errors.count(), 0);
    QTRY_COMPARE(errors.count(), 2);
    QVERIFY2(errors.at(0).first().toString().contains("view", Qt::CaseInsensitive),
        qPrintable(errors.at(0).first().toString()));
    QVERIFY(m_loadFailures.isEmpty());
    QCOMPARE(manager.GetPriceHistory("B1", "us").value("Locale").toString(), "us");
}

QTEST_GUILESS_MAIN(TestDatabaseManager)
#include "tst_databasemanager.moc"
