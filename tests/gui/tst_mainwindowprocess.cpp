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
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <memory>

// The real window in a process of its own, driven line by line through its
// standard input: ended in order (Exit, close, a termination signal), or
// killed and started again.
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
    bool Start();
    bool Send(const QString& command, const QString& expectedReply);
    QString Rows();
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

WatchListWidget* ChildList(MainWindow& window)
{
    return window.findChild<WatchListWidget*>(QStringLiteral("treeWidgetWatchList"));
}

void Reply(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

QString DescribeRows(MainWindow& window)
{
    QStringList rows;
    for (const QVariant& item : ChildList(window)->GetItems()) {
        const QVariantMap record = item.toMap();
        rows << QStringLiteral("%1/%2/%3/%4")
                    .arg(record.value(QStringLiteral("ASIN")).toString(),
                        record.value(QStringLiteral("Locale")).toString(),
                        QString::number(record.value(QStringLiteral("WatchCondition")).toInt()),
                        QString::number(record.value(QStringLiteral("PriceLine")).toDouble()));
    }
    rows.sort();
    return QStringLiteral("ROWS ") + rows.join(QLatin1Char(' '));
}

void RunCommand(MainWindow& window, const QString& line)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString command = words.value(0);
    if (command == QLatin1String("add")) {
        auto* field = window.findChild<QLineEdit*>(QStringLiteral("lineEditAsin"));
        const int before = ChildList(window)->topLevelItemCount();
        field->setText(words.value(1));
        window.OnButtonAdd();
        if (QTest::qWaitFor([&] { return ChildList(window)->topLevelItemCount() > before; }, 5000))
            Reply(QStringLiteral("ADDED"));
    } else if (command == QLatin1String("rows")) {
        Reply(DescribeRows(window));
    } else if (command == QLatin1String("watch-price")) {
        ChildList(window)->SetCurrentItem(words.value(1), words.value(2));
        window.findChild<QRadioButton*>(QStringLiteral("radioButtonPriceDrop"))->click();
        window.findChild<QDoubleSpinBox*>(QStringLiteral("doubleSpinBoxPriceLine"))
            ->setValue(words.value(3).toDouble());
        Reply(QStringLiteral("EDITED"));
    } else if (command == QLatin1String("exit")) {
        window.findChild<QAction*>(QStringLiteral("actionExit"))->trigger();
    } else if (command == QLatin1String("close")) {
        window.close();
    }
}

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

    // A termination request from the system leaves the way the Exit action
    // does.
    UnixSignalWatcher signalWatcher;
    signalWatcher.watch(SIGTERM);
    signalWatcher.watch(SIGINT);
    QObject::connect(&signalWatcher, &UnixSignalWatcher::unixSignal, &window, &MainWindow::Quit);

    QSocketNotifier input(fileno(stdin), QSocketNotifier::Read);
    QFile in;
    in.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered);
    QObject::connect(&input, &QSocketNotifier::activated, &window, [&] {
        const QByteArray line = in.readLine();
        if (line.isEmpty()) {
            input.setEnabled(false);
            return;
        }
        RunCommand(window, QString::fromUtf8(line).trimmed());
    });
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

bool TestMainWindowProcess::Start()
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
    m_child->start(QCoreApplication::applicationFilePath(), { QString::fromLatin1(ChildFlag) });
    return QTest::qWaitFor([this] { return m_output.contains(QStringLiteral("READY\n")); }, 15000);
}

bool TestMainWindowProcess::Send(const QString& command, const QString& expectedReply)
{
    m_output.clear();
    m_child->write((command + QLatin1Char('\n')).toUtf8());
    return QTest::qWaitFor(
        [&] { return m_output.contains(expectedReply + QLatin1Char('\n')); }, 10000);
}

QString TestMainWindowProcess::Rows()
{
    const bool answered = Send(QStringLiteral("rows"), QString())
        && QTest::qWaitFor([this] { return m_output.startsWith(QStringLiteral("ROWS")); }, 10000);
    return answered ? m_output.trimmed() : QString();
}

void TestMainWindowProcess::endsInOrder_data()
{
    QTest::addColumn<bool>("closeToMinimize");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("Exit despite close to minimise") << true << "exit" << 0;
    QTest::newRow("close without close to minimise") << false << "close" << 0;
    QTest::newRow("SIGTERM") << true << QString() << int(SIGTERM);
    QTest::newRow("SIGINT") << true << QString() << int(SIGINT);
}

void TestMainWindowProcess::endsInOrder()
{
    QFETCH(bool, closeToMinimize);
    QFETCH(QString, command);
    QFETCH(int, signalNumber);
    QSettings(ConfigFile(), QSettings::IniFormat)
        .setValue(QStringLiteral("MainWindow/Options"),
            QVariantMap { { QStringLiteral("CloseToMinimize"), closeToMinimize } });
    QVERIFY(Start());
    QVERIFY(
        Send(QStringLiteral("add http://www.amazon.fr/dp/B0PW000001"), QStringLiteral("ADDED")));
    QFile cached(CacheDir() + QStringLiteral("/B0PW000001_fr_small.jpg"));
    QVERIFY(cached.open(QIODevice::WriteOnly));
    cached.close();

    if (signalNumber != 0) {
        m_output.clear();
        QCOMPARE(::kill(static_cast<pid_t>(m_child->processId()), signalNumber), 0);
        QVERIFY(QTest::qWaitFor(
            [this] { return m_output.contains(QStringLiteral("ENDED\n")); }, 10000));
    } else {
        QVERIFY(Send(command, QStringLiteral("ENDED")));
    }
    QVERIFY(WaitForExit(*m_child, 10000));
    QCOMPARE(m_child->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_child->exitCode(), 0);
    QSettings settings(ConfigFile(), QSettings::IniFormat);
    QVERIFY(settings.contains(QStringLiteral("MainWindow/Size")));
    QVERIFY(settings.contains(QStringLiteral("MainWindow/Geometry")));
    QCOMPARE(settings.value(QStringLiteral("MainWindow/Options"))
                 .toMap()
                 .value(QStringLiteral("CloseToMinimize"))
                 .toBool(),
        closeToMinimize);
    QCOMPARE(settings.value(QStringLiteral("Amazon/Locale")).toString(), QStringLiteral("fr"));
    QVERIFY(!cached.exists());
    QCOMPARE(DatabaseManager(DatabaseFile()).GetItems(QString()).size(), 1);
}

void TestMainWindowProcess::watchListSurvivesAKill()
{
    QVERIFY(Start());
    for (const char* link : { "B0PW000001", "http://www.amazon.co.uk/dp/B0PW000002",
             "http://www.amazon.de/dp/B0PW000003" })
        QVERIFY(Send(QStringLiteral("add ") + QString::fromLatin1(link), QStringLiteral("ADDED")));
    QVERIFY(Send(QStringLiteral("watch-price B0PW000002 uk 12.5"), QStringLiteral("EDITED")));
    const QString expected
        = QStringLiteral("ROWS B0PW000001/us/0/0 B0PW000002/uk/2/12.5 B0PW000003/de/0/0");
    QCOMPARE(Rows(), expected);

    m_child->kill();
    QVERIFY(WaitForExit(*m_child, 10000));
    QCOMPARE(m_child->exitStatus(), QProcess::CrashExit);
    QVERIFY(Start());
    QCOMPARE(Rows(), expected);
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
