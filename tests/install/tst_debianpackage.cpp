// The Debian package as a user gets it: built with cpack, unpacked with
// dpkg-deb, and started from the unpacked tree against the simulated store.

#include "BuildConfig.h"
#include "DatabaseManager.h"
#include "ProcessWait.h"
#include "ProgramRun.h"
#include "SimulatedStore.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

class TestDebianPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dependsOnWhatTheAppLoads_data();
    void dependsOnWhatTheAppLoads();
    void unpackedAppLooksAnItemUpAndEndsInOrder();

private:
    QString Scratch(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_package;
    QStringList m_depends; // package names only
};

namespace {

constexpr int Timeout = 30000;
const QString Asin = QStringLiteral("B0PW000001");

} // namespace

void TestDebianPackage::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const ProgramRun cpack = RunProgram(QStringLiteral(PRICEWARDEN_TEST_CPACK),
        { QStringLiteral("--config"),
            QStringLiteral(PRICEWARDEN_TEST_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-G"),
            QStringLiteral("DEB"), QStringLiteral("-B"), Scratch("out") });
    QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.output));
    const QStringList packages = QDir(Scratch("out")).entryList({ QStringLiteral("*.deb") });
    QCOMPARE(packages.size(), 1);
    m_package = QDir(Scratch("out")).filePath(packages.first());
    QVERIFY(packages.first().startsWith(QStringLiteral("pricewarden_" PRICEWARDEN_VERSION "_")));

    const ProgramRun unpack = RunProgram(
        QStringLiteral("dpkg-deb"), { QStringLiteral("-x"), m_package, Scratch("root") });
    QVERIFY2(unpack.exitCode == 0, qPrintable(unpack.output));
    const ProgramRun depends = RunProgram(
        QStringLiteral("dpkg-deb"), { QStringLiteral("-f"), m_package, QStringLiteral("Depends") });
    QVERIFY2(depends.exitCode == 0, qPrintable(depends.output));
    for (const QString& dependency : depends.output.split(QLatin1Char(','), Qt::SkipEmptyParts))
        m_depends << dependency.trimmed().section(QLatin1Char(' '), 0, 0);
}

void TestDebianPackage::dependsOnWhatTheAppLoads_data()
{
    QTest::addColumn<QString>("dependency");
    // Plugins Qt loads at run time, which no linker sees.
    QTest::newRow("SQLite driver") << "libqt6sql6-sqlite";
    QTest::newRow("multimedia runtime") << "libqt6multimedia6";
    // Libraries the executable links, found by dpkg-shlibdeps.
    QTest::newRow("Qt Widgets") << "libqt6widgets6";
    QTest::newRow("Qt SQL") << "libqt6sql6";
}

void TestDebianPackage::dependsOnWhatTheAppLoads()
{
    QFETCH(QString, dependency);
    QVERIFY2(m_depends.contains(dependency), qPrintable(m_depends.join(QLatin1Char(','))));
}

// A watched item is on the list; the app starts, looks it up at the store,
// records the reply and, on SIGTERM, saves the list and ends with 0.
void TestDebianPackage::unpackedAppLooksAnItemUpAndEndsInOrder()
{
    SimulatedStore store;
    QVERIFY(store.listen());
    const QString database = Scratch("home/data/Pricewarden/Pricewarden/userdata.dat");
    QVERIFY(QDir().mkpath(QFileInfo(database).path()));
    DatabaseManager(database).SaveItems({ QVariantMap {
        { QStringLiteral("ASIN"), Asin }, { QStringLiteral("Locale"), QStringLiteral("us") } } });

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QList<std::pair<const char*, QString>> variables { { "QT_QPA_PLATFORM", "offscreen" },
        { "HOME", Scratch("home") }, { "XDG_CONFIG_HOME", Scratch("home/config") },
        { "XDG_DATA_HOME", Scratch("home/data") }, { "XDG_CACHE_HOME", Scratch("home/cache") },
        { "XDG_RUNTIME_DIR", Scratch("home/runtime") }, { "TMPDIR", Scratch("home") },
        { "http_proxy", store.proxyUrl() }, { "HTTP_PROXY", store.proxyUrl() } };
    for (const auto& [name, value] : variables)
        environment.insert(QString::fromLatin1(name), value);
    for (const char* name : { "no_proxy", "NO_PROXY", "PRICEWARDEN_CONFIG" })
        environment.remove(QString::fromLatin1(name));
    QProcess app;
    app.setProcessEnvironment(environment);
    app.start(Scratch("root") + QStringLiteral(PRICEWARDEN_INSTALLED_EXECUTABLE), {});
    QVERIFY2(app.waitForStarted(Timeout), qPrintable(app.errorString()));

    const auto lookedUp = [&store] {
        const QList<SimulatedRequest> log = store.requestLog();
        return std::any_of(log.cbegin(), log.cend(), [](const SimulatedRequest& request) {
            return request.operation == QLatin1String("ItemLookup")
                && request.parameter(QStringLiteral("ItemId")).contains(Asin)
                && request.httpStatus == 200;
        });
    };
    QTRY_VERIFY_WITH_TIMEOUT(lookedUp() || app.state() == QProcess::NotRunning, Timeout);
    QVERIFY2(lookedUp(), qPrintable(app.readAllStandardError()));
    // The reply is recorded as the first point of the item's history.
    QTRY_COMPARE_WITH_TIMEOUT(
        DatabaseManager(database).GetPriceHistory(Asin, "us").value("PriceHistory").toList().size(),
        1, Timeout);

    QCOMPARE(::kill(static_cast<pid_t>(app.processId()), SIGTERM), 0);
    QVERIFY(WaitForExit(app, Timeout));
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);
    const QVariantList items = DatabaseManager(database).GetItems(QString());
    QCOMPARE(items.size(), 1);
    QCOMPARE(items.first().toMap().value("Title").toString(),
        store.item(QStringLiteral("us"), Asin)->title);
}

QTEST_GUILESS_MAIN(TestDebianPackage)
#include "tst_debianpackage.moc"
