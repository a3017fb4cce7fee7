// What the local store keeps when things go wrong: a file that cannot be
// opened or read, a statement failing in the middle of a batch, a full disk, a
// file that cannot be written, and a process killed while writing.

#include "DatabaseManager.h"
#include "ProcessWait.h"
#include "ScratchEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <grp.h>
#include <unistd.h>

namespace {

const char kWriteUntilKilled[] = "--write-until-killed";
const char kTryReadOnly[] = "--try-read-only";
const uid_t kNobody = 65534;

QVariantMap Item(const QString& strAsin, const QString& strTitle = QStringLiteral("A title"))
{
    return { { "ASIN", strAsin }, { "Locale", "us" }, { "Title", strTitle },
        { "WatchCondition", 2 }, { "PriceLine", 10.0 } };
}

QVariantMap Reply(const QString& strAsin, double dPrice)
{
    return { { "ASIN", strAsin }, { "Locale", "us" }, { "Price", dPrice },
        { "LowestNewPrice", dPrice + 1 }, { "LowestUsedPrice", 0.0 } };
}

QVariantList HistoryOf(DatabaseManager& manager, const QString& strAsin)
{
    return manager.GetPriceHistory(strAsin, "us").value("PriceHistory").toList();
}

// The title and the last price of each product, "-" where there is none.
QStringList StateOf(DatabaseManager& manager, const QStringList& asins)
{
    QMap<QString, QString> titles;
    for (const QVariant& row : manager.GetItems(QString()))
        titles.insert(row.toMap().value("ASIN").toString(), row.toMap().value("Title").toString());
    QStringList state;
    for (const QString& strAsin : asins) {
        const QVariantList history = HistoryOf(manager, strAsin);
        state.append(titles.value(strAsin, "-") + ' '
            + (history.isEmpty() ? "-" : history.last().toMap().value("Price").toString()));
    }
    return state;
}

// The first value of a statement's result, true for a statement without rows,
// an invalid value when it fails.
QVariant Sql(const DatabaseManager& manager, const QString& strStatement)
{
    QSqlQuery query(QSqlDatabase::database(manager.ConnectionName()));
    if (!query.exec(strStatement)) {
        qWarning() << strStatement << query.lastError().text();
        return {};
    }
    return query.next() ? query.value(0) : QVariant(true);
}

// Child mode: saves a watch-list row and a price point per product and
// reports each product on stdout once both calls have returned, until the
// parent kills the process.
int WriteUntilKilled(const QString& strPath)
{
    DatabaseManager manager(strPath);
    QFile out;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (int i = 0; i < 1000000; ++i) {
        const QString strAsin = QStringLiteral("K%1").arg(i, 8, 10, QLatin1Char('0'));
        manager.SaveItems({ Item(strAsin) });
        manager.UpdatePrice(Reply(strAsin, 10 + i % 7));
        out.write(strAsin.toLatin1() + '\n');
    }
    return 0;
}

// Child mode: loads a file it may only read, tries every kind of write and
// reports what happened.
int TryReadOnly(const QString& strPath)
{
    bool bLoadFailure = false;
    int nPriceUpdates = 0;
    DatabaseManager::SetLoadFailureHandler(
        [&bLoadFailure](const QString&, const QString&) { bLoadFailure = true; });
    DatabaseManager manager(strPath);
    QTextStream out(stdout);
    QObject::connect(&manager, &DatabaseManager::Error,
        [&out](const QString& strText) { out << "error " << strText << '\n'; });
    QObject::connect(
        &manager, &DatabaseManager::PriceUpdated, [&nPriceUpdates]() { ++nPriceUpdates; });
    QCoreApplication::processEvents();
    const qsizetype nItems = manager.GetItems(QString()).size();
    manager.SaveItems({ Item("NEW0000001"), Item("STORED0001", "edited") });
    manager.UpdatePrice(Reply("NEW0000001", 5));
    manager.UpdatePrice(Reply("STORED0001", 1));
    manager.RemoveItem(Item("STORED0002"));
    out << "uid " << geteuid() << "\nloadfailure " << int(bLoadFailure) << " items " << nItems
        << " priceupdates " << nPriceUpdates << '\n';
    return 0;
}

} // namespace

class TestStorageFailures : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void unopenableFileShowsCannotLoadOnce_data();
    void unopenableFileShowsCannotLoadOnce();
    void watchListReadFailingPartWayIsReported();
    void failingStatementKeepsTheRestOfTheBatch_data();
    void failingStatementKeepsTheRestOfTheBatch();
    void readOnlyFileReportsEveryWrite_data();
    void readOnlyFileReportsEveryWrite();
    void committedRowsSurviveAKill_data();
    void committedRowsSurviveAKill();

private:
    QString DbPath() const { return m_env->filePath(QStringLiteral("failures.dat")); }
    std::unique_ptr<ScratchEnvironment> m_env;
    QStringList m_loadFailures;
};

void TestStorageFailures::init()
{
    m_env = std::make_unique<ScratchEnvironment>();
    m_loadFailures.clear();
    DatabaseManager::SetLoadFailureHandler([this](const QString& strTitle, const QString& strText) {
        m_loadFailures.append(strTitle + '|' + strText);
    });
}

void TestStorageFailures::cleanup()
{
    DatabaseManager::SetLoadFailureHandler(nullptr);
    m_env.reset();
}

void TestStorageFailures::unopenableFileShowsCannotLoadOnce_data()
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
void TestStorageFailures::unopenableFileShowsCannotLoadOnce()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    const QString strPath = m_env->filePath(fileName);
    QFile file(strPath);
    QVERIFY(content.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(content) > 0));
    file.close();
    QVERIFY(fileName != "adirectory" || QDir().mkpath(strPath));

    DatabaseManager manager(strPath);
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    QSignalSpy prices(&manager, &DatabaseManager::PriceUpdated);
    QCOMPARE(m_loadFailures, QStringList({ "Cannot Load|Unable to load previously saved items." }));
    QVERIFY(!manager.IsOpen());
    QCOMPARE(manager.GetItems(QString()), QVariantList());
    QVERIFY(!manager.HasItem("B1", "us"));
    QCOMPARE(errors.count(), 1);
    manager.SaveItems({ Item("B1"), Item("B2") });
    QCOMPARE(errors.count(), 3);
    manager.UpdatePrice(Reply("B1", 1));
    QCOMPARE(prices.count(), 0);
    QVERIFY(errors.count() >= 4);
    for (const QList<QVariant>& error : std::as_const(errors))
        QVERIFY(!error.first().toString().trimmed().isEmpty());
    QCOMPARE(m_loadFailures.size(), 1);
    QVERIFY(content.isEmpty() || (file.open(QIODevice::ReadOnly) && file.readAll() == content));
}

// Opening runs before anyone can connect; its failures must still reach the
// owner, who connects right after construction. A read that breaks off after
// some rows (a damaged page, a disk read error) must not pass for the whole
// list: the rows read are kept, the user is told.
void TestStorageFailures::watchListReadFailingPartWayIsReported()
{
    {
        // The second row's value can only be computed when that row is
        // stepped: abs() of the smallest 64-bit integer fails with an overflow.
        DatabaseManager manager(DbPath());
        for (const char* strStatement : { "DROP TABLE watchlist", "CREATE TABLE steps (n int)",
                 "INSERT INTO steps VALUES (1), (0)",
                 "CREATE VIEW watchlist AS SELECT 'B' || abs(n - 9223372036854775807 - 1) AS "
                 "ASIN, 'us' AS Locale FROM steps" })
            QVERIFY(Sql(manager, strStatement).isValid());
    }
    DatabaseManager manager(DbPath());
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    QCOMPARE(errors.count(), 0);
    QTRY_COMPARE(errors.count(), 2);
    QVERIFY2(errors.at(0).first().toString().contains("view", Qt::CaseInsensitive),
        qPrintable(errors.at(0).first().toString()));
    QVERIFY(m_loadFailures.isEmpty());
    QCOMPARE(manager.GetPriceHistory("B1", "us").value("Locale").toString(), "us");
    errors.clear();

    const QVariantList items = manager.GetItems(QString());
    QCOMPARE(items.size(), 1);
    QCOMPARE(items.first().toMap().value("ASIN").toString(), "B9223372036854775807");
    QCOMPARE(errors.count(), 1);
    QVERIFY2(errors.first().first().toString().contains("overflow"),
        qPrintable(errors.first().first().toString()));

    // The next whole read reports nothing left over from the failed one.
    QVERIFY(Sql(manager, "DELETE FROM steps WHERE n = 0").isValid());
    QCOMPARE(manager.GetItems(QString()).size(), 1);
    QCOMPARE(errors.count(), 1);
}

void TestStorageFailures::failingStatementKeepsTheRestOfTheBatch_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("alreadyStored");
    QTest::addColumn<bool>("diskFull"); // else a trigger refuses the second
    QTest::addColumn<QStringList>("state"); // title and price of each afterwards
    const QStringList itemInsert { "new -", "- -", "new -" }, pointInsert { "- 8", "- -", "- 8" };
    QTest::newRow("item insert") << "watchlist" << false << false << itemInsert;
    QTest::newRow("item update") << "watchlist" << true << false
                                 << QStringList { "new 10", "old 10", "new 10" };
    QTest::newRow("point insert") << "pricehistory" << false << false << pointInsert;
    QTest::newRow("point lowering")
        << "pricehistory" << true << false << QStringList { "old 8", "old 10", "old 8" };
    QTest::newRow("item too large for the disk") << "watchlist" << false << true << itemInsert;
    QTest::newRow("point too large for the disk") << "pricehistory" << false << true << pointInsert;
}

// The second of three items is refused, by a trigger or because the file may
// not grow and its row (a huge ASIN) does not fit in the free room: one Error,
// the first and the third are written, the second keeps what it had. Once the
// cause is gone, the same batch is written whole.
void TestStorageFailures::failingStatementKeepsTheRestOfTheBatch()
{
    QFETCH(QString, table);
    QFETCH(bool, alreadyStored);
    QFETCH(bool, diskFull);
    QFETCH(QStringList, state);
    DatabaseManager manager(DbPath());
    const QStringList asins { "B1", diskFull ? QString(200000, QLatin1Char('B')) : "B2", "B3" };
    if (alreadyStored) {
        manager.SaveItems({ Item("B1", "old"), Item("B2", "old"), Item("B3", "old") });
        manager.UpdateItems({ Reply("B1", 10), Reply("B2", 10), Reply("B3", 10) });
    }
    const int nPages = Sql(manager, "PRAGMA page_count").toInt();
    QVERIFY(nPages > 0);
    if (diskFull)
        QCOMPARE(
            Sql(manager, QStringLiteral("PRAGMA max_page_count = %1").arg(nPages)).toInt(), nPages);
    else
        QVERIFY(Sql(manager,
            QStringLiteral("CREATE TRIGGER refuse_b2 BEFORE %1 ON %2 WHEN NEW.ASIN = 'B2' BEGIN "
                           "SELECT RAISE(ABORT, 'refused by test'); END")
                .arg(alreadyStored ? "UPDATE" : "INSERT", table))
                    .isValid());
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    QSignalSpy updated(&manager, &DatabaseManager::PriceUpdated);

    QVariantList batch;
    for (const QString& strAsin : asins)
        batch.append(table == "watchlist" ? Item(strAsin, "new") : Reply(strAsin, 8));
    const auto write = [&]() {
        if (table == "watchlist")
            manager.SaveItems(batch);
        else
            manager.UpdateItems(batch);
    };
    write();

    QCOMPARE(errors.count(), 1);
    const QString strError = errors.first().first().toString();
    QVERIFY2(strError.contains(diskFull ? "database or disk is full" : "refused by test"),
        qPrintable(strError));
    QCOMPARE(updated.count(), table == "watchlist" ? 0 : 2);
    QCOMPARE(StateOf(manager, asins), state);

    QVERIFY(Sql(manager, diskFull ? "PRAGMA max_page_count = 1000000" : "DROP TRIGGER refuse_b2")
                .isValid());
    write();
    QCOMPARE(errors.count(), 1);
    QCOMPARE(StateOf(manager, asins), QStringList(3, state.first()));
}

void TestStorageFailures::readOnlyFileReportsEveryWrite_data()
{
    QTest::addColumn<bool>("withIndexes");
    QTest::addColumn<QString>("journal");
    QTest::newRow("current file") << true << "WAL";
    QTest::newRow("file from before the indexes") << false << "WAL";
    QTest::newRow("old file with a rollback journal") << false << "DELETE";
}

// The file is made read-only and opened by a process that cannot override
// file permissions (as root, the child drops to the "nobody" account). It
// still loads; every write fails with SQLite's read-only text and changes
// nothing.
void TestStorageFailures::readOnlyFileReportsEveryWrite()
{
    QFETCH(bool, withIndexes);
    QFETCH(QString, journal);
    {
        DatabaseManager manager(DbPath());
        manager.SaveItems({ Item("STORED0001"), Item("STORED0002") });
        manager.UpdatePrice(Reply("STORED0001", 10));
        if (!withIndexes) {
            QVERIFY(Sql(manager, "DROP INDEX watchlist_item").isValid());
            QVERIFY(Sql(manager, "DROP INDEX pricehistory_point").isValid());
        }
        QCOMPARE(Sql(manager, "PRAGMA journal_mode = " + journal).toString().toUpper(), journal);
    }
    QVERIFY(!QFile::exists(DbPath() + "-wal"));
    QVERIFY(
        QFile::setPermissions(DbPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(QFile::setPermissions(m_env->path(), QFile::Permissions(0x7777)));

    QProcess child;
    if (geteuid() == 0) {
        child.setChildProcessModifier([]() {
            if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
                _exit(3);
        });
    }
    child.start(QCoreApplication::applicationFilePath(), { kTryReadOnly, DbPath() });
    QVERIFY(WaitForExit(child, 30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);

    const QStringList lines
        = QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.contains("uid 0"));
    QVERIFY2(lines.contains("loadfailure 0 items 2 priceupdates 0"), qPrintable(lines.join('\n')));
    const QStringList errors = lines.filter(QRegularExpression("^error "));
    QCOMPARE(errors.size(), (withIndexes ? 0 : 2) + 5);
    for (const QString& strError : errors)
        QVERIFY2(strError.contains("attempt to write a readonly database"), qPrintable(strError));

    QVERIFY(QFile::setPermissions(DbPath(), QFile::ReadOwner | QFile::WriteOwner));
    DatabaseManager manager(DbPath());
    QCOMPARE(StateOf(manager, { "STORED0001", "STORED0002", "NEW0000001" }),
        QStringList({ "A title 10", "A title -", "- -" }));
}

void TestStorageFailures::committedRowsSurviveAKill_data()
{
    QTest::addColumn<int>("reportedBeforeKill");
    QTest::newRow("early") << 1;
    QTest::newRow("after 57") << 57;
    QTest::newRow("after 240") << 240;
}

// Every product the child reported as written must be in both tables after
// the child is killed, and the file must be sound.
void TestStorageFailures::committedRowsSurviveAKill()
{
    QFETCH(int, reportedBeforeKill);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), { kWriteUntilKilled, DbPath() });
    QVERIFY(child.waitForStarted());
    QByteArray output;
    while (output.count('\n') < reportedBeforeKill) {
        QVERIFY2(child.waitForReadyRead(30000), "the writing child stopped reporting");
        output += child.readAllStandardOutput();
    }
    child.kill();
    QVERIFY(WaitForExit(child, 30000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    output += child.readAllStandardOutput();

    QStringList reported = QString::fromLatin1(output).split('\n');
    reported.removeLast(); // an unfinished line, or the empty rest after the last newline
    QVERIFY(reported.size() >= reportedBeforeKill);

    DatabaseManager manager(DbPath());
    QCOMPARE(Sql(manager, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    QStringList expected;
    for (int i = 0; i < reported.size(); ++i)
        expected.append(QStringLiteral("A title %1").arg(10 + i % 7));
    QCOMPARE(StateOf(manager, reported), expected);
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kWriteUntilKilled) == 0)
        return WriteUntilKilled(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && qstrcmp(argv[1], kTryReadOnly) == 0)
        return TryReadOnly(QString::fromLocal8Bit(argv[2]));
    TestStorageFailures test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_databasemanager_failures.moc"
