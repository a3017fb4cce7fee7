#include "AmazonConnector.h"
#include "DatabaseManager.h"
#include "Global.h"
#include "MainWindow.h"
#include "ProcessWait.h"
#include "SimulatedStore.h"
#include "UnixSignalWatcher.h"
#include "UserPrompt.h"
#include "WatchListWidget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <memory>

// The real window in a process of its own: it adds the items named on its
// command line, watches the last for a price drop, reports its rows, then
// ends in order (Exit, close, a termination signal) or is killed and started
// again.
class TestMainWindowProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_store.listen()); }
    void init();
    void cleanup();
    void endsInOrder_data();
    void endsInOrder();
    void watchListSurvivesAKill();

private:
    // Starts the child and returns the rows it reports once ready.
    QString Start(const QString& ending, const QStringList& links);
    bool WaitForEnd();
    QString ConfigFile() const
    {
        return m_home->filePath(QStringLiteral("config/PricewardenTest/Pricewarden.conf"));
    }
    QString DatabaseFile() const
    {
        return m_home->filePath(QStringLiteral("data/PricewardenTest/Pricewarden/userdata.dat"));
    }
    QString CacheDir() const { return m_home->filePath(QStringLiteral("pw_cache")); }

    SimulatedStore m_store;
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QProcess> m_child;
    QString m_output;
};

namespace {

const char ChildFlag[] = "--window-child";

// --- the child side ---------------------------------------------------------

void Reply(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

QString DescribeRows(const WatchListWidget& list)
{
    QStringList rows;
    for (const QVariant& item : list.GetItems()) {
        const QVariantMap record = item.toMap();
        rows << QStringLiteral("%1/%2/%3/%4")
                    .arg(record.value("ASIN").toString(), record.value("Locale").toString())
                    .arg(record.value("WatchCondition").toInt())
                    .arg(record.value("PriceLine").toDouble());
    }
    rows.sort();
    return QStringLiteral("ROWS ") + rows.join(QLatin1Char(' '));
}

void AddAndWatchLast(MainWindow& window, const WatchListWidget& list, const QStringList& links)
{
    for (const QString& link : links) {
        const int before = list.topLevelItemCount();
        window.findChild<QLineEdit*>(QStringLiteral("lineEditAsin"))->setText(link);
        window.OnButtonAdd();
        if (!QTest::qWaitFor([&] { return list.topLevelItemCount() > before; }, 5000))
            Reply(QStringLiteral("NOT ADDED ") + link);
    }
    // The item added last is the current one.
    if (links.isEmpty())
        return;
    window.findChild<QRadioButton*>(QStringLiteral("radioButtonPriceDrop"))->click();
    window.findChild<QDoubleSpinBox*>(QStringLiteral("doubleSpinBoxPriceLine"))->setValue(12.5);
}

// Arguments: the flag, the ending ("exit", "close" or "wait"), the links.
int ChildMain(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("PricewardenTest"));
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    Global::Initialize();
    Global::TempDir = qEnvironmentVariable("PRICEWARDEN_TEST_CACHE");
    UserPrompt::SetAnswerer([](const UserPrompt::Prompt&) { return QMessageBox::Ok; });
    MainWindow window;
    window.findChild<AmazonConnector*>()->SetPause(0);
    window.show();
    // A termination request from the system leaves the way the Exit action does.
    UnixSignalWatcher signalWatcher;
    signalWatcher.watch(SIGTERM);
    signalWatcher.watch(SIGINT);
    QObject::connect(&signalWatcher, &UnixSignalWatcher::unixSignal, &window, &MainWindow::Quit);

    const QStringList arguments = QCoreApplication::arguments().mid(2);
    auto& list = *window.findChild<WatchListWidget*>(QStringLiteral("treeWidgetWatchList"));
    AddAndWatchLast(window, list, arguments.mid(1));
    Reply(DescribeRows(list));
    if (arguments.value(0) == QLatin1String("exit"))
        QTimer::singleShot(
            0, window.findChild<QAction*>(QStringLiteral("actionExit")), &QAction::trigger);
    else if (arguments.value(0) == QLatin1String("close"))
        QTimer::singleShot(0, &window, &QWidget::close);
    Reply(QStringLiteral("READY"));
    const int code = app.exec();
    Reply(QStringLiteral("ENDED"));
    return code;
}

} // namespace

// --- the test side ------------------------------------------------------------

void TestMainWindowProcess::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir().mkpath(CacheDir()));
}

void TestMainWindowProcess::cleanup()
{
    if (m_child && m_child->state() != QProcess::NotRunning) {
        m_child->kill();
        m_child->waitForFinished();
    }
    m_child.reset();
}

QString TestMainWindowProcess::Start(const QString& ending, const QStringList& links)
{
    m_output.clear();
    m_child = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QList<std::pair<const char*, QString>> variables { { "QT_QPA_PLATFORM", "offscreen" },
        { "HOME", m_home->path() }, { "XDG_CONFIG_HOME", m_home->filePath("config") },
        { "XDG_DATA_HOME", m_home->filePath("data") },
        { "XDG_CACHE_HOME", m_home->filePath("cache") },
        { "XDG_RUNTIME_DIR", m_home->filePath("run") }, { "http_proxy", m_store.proxyUrl() },
        { "PRICEWARDEN_TEST_CACHE", CacheDir() } };
    for (const auto& [name, value] : variables)
        environment.insert(QString::fromLatin1(name), value);
    environment.remove(QStringLiteral("no_proxy"));
    m_child->setProcessEnvironment(environment);
    connect(m_child.get(), &QProcess::readyReadStandardOutput, this,
        [this] { m_output += QString::fromUtf8(m_child->readAllStandardOutput()); });
    m_child->start(QCoreApplication::applicationFilePath(),
        QStringList { QString::fromLatin1(ChildFlag), ending } + links);
    if (!QTest::qWaitFor([this] { return m_output.contains(QStringLiteral("READY\n")); }, 15000))
        return QStringLiteral("no answer: ") + m_output;
    return m_output.section(QLatin1Char('\n'), 0, 0);
}

bool TestMainWindowProcess::WaitForEnd()
{
    return QTest::qWaitFor([this] { return m_output.contains(QStringLiteral("ENDED\n")); }, 10000)
        && WaitForExit(*m_child, 10000);
}

void TestMainWindowProcess::endsInOrder_data()
{
    QTest::addColumn<bool>("closeToMinimize");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("Exit despite close to minimise") << true << "exit" << 0;
    QTest::newRow("close without close to minimise") << false << "close" << 0;
    QTest::newRow("SIGTERM") << true << "wait" << int(SIGTERM);
    QTest::newRow("SIGINT") << true << "wait" << int(SIGINT);
}

void TestMainWindowProcess::endsInOrder()
{
    QFETCH(bool, closeToMinimize);
    QFETCH(QString, ending);
    QFETCH(int, signalNumber);
    QSettings(ConfigFile(), QSettings::IniFormat)
        .setValue(QStringLiteral("MainWindow/Options"),
            QVariantMap { { QStringLiteral("CloseToMinimize"), closeToMinimize } });
    QFile cached(CacheDir() + QStringLiteral("/B0PW000001_fr_small.jpg"));
    QVERIFY(cached.open(QIODevice::WriteOnly));
    cached.close();

    QCOMPARE(Start(ending, { QStringLiteral("http://www.amazon.fr/dp/B0PW000001") }),
        QStringLiteral("ROWS B0PW000001/fr/2/12.5"));
    if (signalNumber != 0)
        QCOMPARE(::kill(static_cast<pid_t>(m_child->processId()), signalNumber), 0);
    QVERIFY(WaitForEnd());
    QCOMPARE(m_child->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_child->exitCode(), 0);
    QSettings settings(ConfigFile(), QSettings::IniFormat);
    QVERIFY(settings.contains(QStringLiteral("MainWindow/Size")));
    QVERIFY(settings.contains(QStringLiteral("MainWindow/Geometry")));
    QCOMPARE(settings.value(QStringLiteral("MainWindow/Options")).toMap().value("CloseToMinimize"),
        QVariant(closeToMinimize));
    QCOMPARE(settings.value(QStringLiteral("Amazon/Locale")).toString(), QStringLiteral("fr"));
    QVERIFY(!cached.exists());
    QCOMPARE(DatabaseManager(DatabaseFile()).GetItems(QString()).size(), 1);
}

void TestMainWindowProcess::watchListSurvivesAKill()
{
    const QString rows
        = QStringLiteral("ROWS B0PW000001/us/0/0 B0PW000002/uk/0/0 B0PW000003/de/2/12.5");
    QCOMPARE(
        Start(QStringLiteral("wait"),
            { QStringLiteral("B0PW000001"), QStringLiteral("http://www.amazon.co.uk/dp/B0PW000002"),
                QStringLiteral("http://www.amazon.de/dp/B0PW000003") }),
        rows);
    m_child->kill();
    QVERIFY(WaitForExit(*m_child, 10000));
    QCOMPARE(m_child->exitStatus(), QProcess::CrashExit);
    QCOMPARE(Start(QStringLiteral("wait"), {}), rows);
    QCOMPARE(DatabaseManager(DatabaseFile()).GetItems(QString()).size(), 3);
}

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], ChildFlag) == 0)
        return ChildMain(argc, argv);
    QApplication app(argc, argv);
    TestMainWindowProcess test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindowprocess.moc"
