// The Debian package as a user gets it: built with cpack, unpacked with
// dpkg-deb, and started from the unpacked tree against the simulated store.

#include "BuildConfig.h"
#include "DatabaseManager.h"
#include "ProcessWait.h"
#include "SimulatedStore.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

class TestDebianPackage : public QObject
{
    Q_OBJECT

private slots:
    void unpackedAppLooksAnItemUpAndEndsInOrder();
};

constexpr int Timeout = 30000;

// A watched item is on the list; the app starts, looks it up at the store,
// records the reply and, on SIGTERM, saves the list and ends with 0.
void TestDebianPackage::unpackedAppLooksAnItemUpAndEndsInOrder()
{
    QTemporaryDir dir;
    QCOMPARE(QProcess::execute(PRICEWARDEN_TEST_CPACK,
                 { "--config", PRICEWARDEN_TEST_BUILD_DIR "/CPackConfig.cmake", "-G", "DEB", "-B",
                     dir.filePath("out") }),
        0);
    const QString package = dir.filePath("out/")
        + QDir(dir.filePath("out"))
              .entryList({ "pricewarden_" PRICEWARDEN_VERSION "_*.deb" })
              .value(0);
    QCOMPARE(QProcess::execute("dpkg-deb", { "-x", package, dir.filePath("root") }), 0);
    QProcess fields;
    fields.start("dpkg-deb", { "-f", package, "Depends" });
    QVERIFY(fields.waitForFinished(Timeout));
    // Qt loads these plugins at run time, where dpkg-shlibdeps cannot see them.
    const QByteArray depends = fields.readAll();
    for (const char* plugins : { "libqt6sql6-sqlite", "libqt6multimedia6", "libqt6widgets6" })
        QVERIFY2(depends.contains(plugins), depends.constData());

    SimulatedStore store;
    QVERIFY(store.listen());
    const QString asin = QStringLiteral("B0PW000001");
    const QString database = dir.filePath("home/data/Pricewarden/Pricewarden/userdata.dat");
    QVERIFY(QDir().mkpath(QFileInfo(database).path()));
    DatabaseManager(database).SaveItems({ QVariantMap { { "ASIN", asin }, { "Locale", "us" } } });

    QProcess app;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR" })
        environment.insert(name, dir.filePath("home"));
    environment.insert("XDG_DATA_HOME", dir.filePath("home/data"));
    environment.insert("http_proxy", store.proxyUrl());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.remove("no_proxy");
    app.setProcessEnvironment(environment);
    app.start(dir.filePath("root") + PRICEWARDEN_INSTALLED_EXECUTABLE, {});
    QVERIFY2(app.waitForStarted(Timeout), qPrintable(app.errorString()));

    // The reply is recorded as the first point of the item's history.
    QTRY_COMPARE_WITH_TIMEOUT(
        DatabaseManager(database).GetPriceHistory(asin, "us").value("PriceHistory").toList().size(),
        1, Timeout);
    QCOMPARE(::kill(static_cast<pid_t>(app.processId()), SIGTERM), 0);
    QVERIFY(WaitForExit(app, Timeout));
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);
    QCOMPARE(DatabaseManager(database).GetItems(QString()).value(0).toMap().value("Title"),
        QVariant(store.item("us", asin)->title));
}

QTEST_GUILESS_MAIN(TestDebianPackage)
#include "tst_debianpackage.moc"
