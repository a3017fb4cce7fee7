// What the local store keeps when things go wrong: a statement failing in
// the middle of a batch, a full disk, a file that cannot be written, and a
// process killed while writing.

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
    return { { QStringLiteral("ASIN"), strAsin },
        { QStringLiteral("Locale"), QStringLiteral("us") }, { QStringLiteral("Title"), strTitle },
        { QStringLiteral("WatchCondition"), 2 }, { QStringLiteral("PriceLine"), 10.0 } };
}

QVariantMap Reply(const QString& strAsin, double dPrice)
{
    return { { QStringLiteral("ASIN"), strAsin },
        { QStringLiteral("Locale"), QStringLiteral("us") }, { QStringLiteral("Price"), dPrice },
        { QStringLiteral("LowestNewPrice"), dPrice + 1 },
        { QStringLiteral("LowestUsedPrice"), 0.0 } };
}

QStringList SortedAsins(const QVariantList& rows)
{
    QStringList asins;
    for (const QVariant& row : rows)
        asins.append(row.toMap().value(QStringLiteral("ASIN")).toString());
    asins.sort();
    return asins;
}

QStringList HistoryAsins(DatabaseManager& manager, const QStringList& candidates)
{
    QStringList found;
    for (const QString& strAsin : candidates) {
        if (!manager.GetPriceHistory(strAsin, QStringLiteral("us"))
                 .value(QStringLiteral("PriceHistory"))
                 .toList()
                 .isEmpty())
            found.append(strAsin);
    }
    return found;
}

bool ExecOn(const DatabaseManager& manager, const QString& strStatement)
{
    QSqlQuery query(QSqlDatabase::database(manager.ConnectionName()));
    if (query.exec(strStatement))
        return true;
    qWarning() << strStatement << query.lastError().text();
    return false;
}

QVariant ValueOn(const DatabaseManager& manager, const QString& strStatement)
{
    QSqlQuery query(QSqlDatabase::database(manager.ConnectionName()));
    if (!query.exec(strStatement) || !query.next())
        return {};
    return query.value(0);
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

// Child mode: runs every kind of write against a file it may only read and
// reports what happened, one fact per line.
int TryReadOnly(const QString& strPath)
{
    bool bLoadFailure = false;
    DatabaseManager::SetLoadFailureHandler(
        [&bLoadFailure](const QString&, const QString&) { bLoadFailure = true; });
    DatabaseManager manager(strPath);
    QStringList errors;
    int nPriceUpdates = 0;
    QObject::connect(&manager, &DatabaseManager::Error, &manager,
        [&errors](const QString& strText) { errors.append(strText); });
    QObject::connect(&manager, &DatabaseManager::PriceUpdated, &manager,
        [&nPriceUpdates]() { ++nPriceUpdates; });
    QCoreApplication::processEvents();
    const int nOpeningErrors = int(errors.size());

    const int nItemsBefore = int(manager.GetItems(QString()).size());
    manager.SaveItems(
        { Item(QStringLiteral("NEW0000001")), Item(QStringLiteral("STORED0001"), "edited") });
    manager.UpdatePrice(Reply(QStringLiteral("NEW0000001"), 5));
    manager.UpdatePrice(Reply(QStringLiteral("STORED0001"), 1));
    manager.RemoveItem(Item(QStringLiteral("STORED0002")));

    QTextStream out(stdout);
    out << "uid " << geteuid() << '\n';
    out << "loadfailure " << (bLoadFailure ? 1 : 0) << '\n';
    out << "openingerrors " << nOpeningErrors << '\n';
    out << "itemsbefore " << nItemsBefore << '\n';
    out << "itemsafter " << manager.GetItems(QString()).size() << '\n';
    out << "priceupdates " << nPriceUpdates << '\n';
    for (const QString& strError : std::as_const(errors))
        out << "error " << strError << '\n';
    return 0;
}

} // namespace

class TestStorageFailures : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void failingPointInsertKeepsTheOthers();
    void failingLoweringChangesNothing();
    void fullDiskLosesOnlyTheFailedRow();
    void readOnlyFileReportsEveryWrite_data();
    void readOnlyFileReportsEveryWrite();
    void committedRowsSurviveAKill_data();
    void committedRowsSurviveAKill();

private:
    QString DbPath() const { return m_env->filePath(QStringLiteral("failures.dat")); }
    std::unique_ptr<ScratchEnvironment> m_env;
};

void TestStorageFailures::init()
{
    m_env = std::make_unique<ScratchEnvironment>();
}

void TestStorageFailures::cleanup()
{
    m_env.reset();
}

void TestStorageFailures::failingPointInsertKeepsTheOthers()
{
    DatabaseManager manager(DbPath());
    QVERIFY(ExecOn(manager,
        "CREATE TRIGGER refuse_b2 BEFORE INSERT ON pricehistory WHEN NEW.ASIN = 'B2' BEGIN "
        "SELECT RAISE(ABORT, 'refused by test'); END"));
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    QSignalSpy updated(&manager, &DatabaseManager::PriceUpdated);

    manager.UpdateItems({ Reply("B1", 10), Reply("B2", 10), Reply("B3", 10) });

    QCOMPARE(errors.count(), 1);
    QVERIFY(errors.first().first().toString().contains("refused by test"));
    QCOMPARE(updated.count(), 2);
    QCOMPARE(HistoryAsins(manager, { "B1", "B2", "B3" }), QStringList({ "B1", "B3" }));
}

void TestStorageFailures::failingLoweringChangesNothing()
{
    DatabaseManager manager(DbPath());
    manager.UpdateItems({ Reply("B1", 10), Reply("B2", 10) });
    QVERIFY(ExecOn(manager,
        "CREATE TRIGGER refuse_b1 BEFORE UPDATE ON pricehistory WHEN OLD.ASIN = 'B1' BEGIN "
        "SELECT RAISE(ABORT, 'refused by test'); END"));
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    QSignalSpy updated(&manager, &DatabaseManager::PriceUpdated);

    manager.UpdateItems({ Reply("B1", 8), Reply("B2", 8) });

    QCOMPARE(errors.count(), 1);
    QCOMPARE(updated.count(), 1);
    const auto priceOf = [&manager](const QString& strAsin) {
        return manager.GetPriceHistory(strAsin, "us")
            .value("PriceHistory")
            .toList()
            .first()
            .toMap()
            .value("Price")
            .toDouble();
    };
    QCOMPARE(priceOf("B1"), 10.0);
    QCOMPARE(priceOf("B2"), 8.0);
}

// The file may not grow: a row too large for the free room fails with the
// disk-full text, and the small rows around it in the same batch are kept.
void TestStorageFailures::fullDiskLosesOnlyTheFailedRow()
{
    DatabaseManager manager(DbPath());
    manager.SaveItems({ Item("B0") });
    manager.UpdatePrice(Reply("B0", 10));
    const int nPages = ValueOn(manager, "PRAGMA page_count").toInt();
    QVERIFY(nPages > 0);
    QCOMPARE(
        ValueOn(manager, QStringLiteral("PRAGMA max_page_count = %1").arg(nPages)).toInt(), nPages);
    QSignalSpy errors(&manager, &DatabaseManager::Error);
    QSignalSpy updated(&manager, &DatabaseManager::PriceUpdated);
    const QString strHuge(200000, QLatin1Char('x'));

    manager.SaveItems({ Item("B1"), Item("B2", strHuge), Item("B3") });
    manager.UpdateItems({ Reply("B1", 10), Reply(strHuge, 10), Reply("B3", 10) });

    QCOMPARE(errors.count(), 2);
    for (const QList<QVariant>& error : std::as_const(errors))
        QVERIFY2(error.first().toString().contains("database or disk is full"),
            qPrintable(error.first().toString()));
    QCOMPARE(updated.count(), 2);
    QCOMPARE(SortedAsins(manager.GetItems(QString())), QStringList({ "B0", "B1", "B3" }));
    QCOMPARE(
        HistoryAsins(manager, { "B0", "B1", strHuge, "B3" }), QStringList({ "B0", "B1", "B3" }));

    QVERIFY(ExecOn(manager, "PRAGMA max_page_count = 1000000"));
    manager.SaveItems({ Item("B2", strHuge) });
    QCOMPARE(errors.count(), 2);
    QCOMPARE(SortedAsins(manager.GetItems(QString())), QStringList({ "B0", "B1", "B2", "B3" }));
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
            QVERIFY(ExecOn(manager, "DROP INDEX watchlist_item"));
            QVERIFY(ExecOn(manager, "DROP INDEX pricehistory_point"));
        }
        QCOMPARE(
            ValueOn(manager, "PRAGMA journal_mode = " + journal).toString().toUpper(), journal);
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
    QVERIFY2(lines.contains("loadfailure 0"), qPrintable(lines.join('\n')));
    QVERIFY(lines.contains(QStringLiteral("openingerrors %1").arg(withIndexes ? 0 : 2)));
    QVERIFY(lines.contains("itemsbefore 2"));
    QVERIFY(lines.contains("itemsafter 2"));
    QVERIFY(lines.contains("priceupdates 0"));
    const QStringList errors = lines.filter(QRegularExpression("^error "));
    QCOMPARE(errors.size(), (withIndexes ? 0 : 2) + 5);
    for (const QString& strError : errors)
        QVERIFY2(strError.contains("attempt to write a readonly database"), qPrintable(strError));

    QVERIFY(QFile::setPermissions(DbPath(), QFile::ReadOwner | QFile::WriteOwner));
    DatabaseManager manager(DbPath());
    QCOMPARE(SortedAsins(manager.GetItems(QString())), QStringList({ "STORED0001", "STORED0002" }));
    QCOMPARE(manager.GetItems(QString()).first().toMap().value("Title").toString(), "A title");
    QCOMPARE(HistoryAsins(manager, { "STORED0001", "NEW0000001" }), QStringList({ "STORED0001" }));
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
    QCOMPARE(ValueOn(manager, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    const QStringList stored = SortedAsins(manager.GetItems(QString()));
    QVERIFY(stored.size() >= reported.size());
    QCOMPARE(stored.mid(0, reported.size()), reported);
    QCOMPARE(HistoryAsins(manager, reported), reported);
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
