#include "CommandLine.h"
#include "MessageHandler.h"
#include "ProcessWait.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>
#include <csignal>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

// What reaches stderr while a message of `type` is logged through `handler`
// (nullptr: Qt's default handler).
QByteArray ConsoleOutputOf(QtMsgType type, QtMessageHandler handler)
{
    QTemporaryFile capture;
    if (!capture.open())
        return "capture file not opened";
    std::fflush(stderr);
    const int savedStderr = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);

    const QtMessageHandler previous = qInstallMessageHandler(handler);
    const QMessageLogger logger;
    switch (type) {
    case QtDebugMsg:
        logger.debug("a debug message");
        break;
    case QtInfoMsg:
        logger.info("an info message");
        break;
    case QtWarningMsg:
        logger.warning("a warning message");
        break;
    default:
        logger.critical("a critical message");
        break;
    }
    qInstallMessageHandler(previous);

    std::fflush(stderr);
    ::dup2(savedStderr, STDERR_FILENO);
    ::close(savedStderr);
    capture.seek(0);
    return capture.readAll();
}

} // namespace

// The single-instance behaviour is tested with real processes: the program
// itself and a peer executable that starts the same way and reports on
// stdout what happened (tests/gui/peer). Every test gets its own HOME, data,
// runtime and temporary directories, so its processes meet only each other.
class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startMinimizedOnlyForExactFirstArgument_data();
    void startMinimizedOnlyForExactFirstArgument();
    void messageHandlerKeepsQtMessagesOffTheConsole_data();
    void messageHandlerKeepsQtMessagesOffTheConsole();

    void secondStartWakesFirstAndRestoresItsWindow();
    void minimizeOptionAppliesOnlyAsExactFirstArgument_data();
    void minimizeOptionAppliesOnlyAsExactFirstArgument();
    void unresponsiveInstanceMakesSecondStartFail();
    void killedInstanceDoesNotBlockTheNextStart();
    void simultaneousStartsLeaveExactlyOneRunning_data();
    void simultaneousStartsLeaveExactlyOneRunning();
    void terminationSignalEndsTheInstanceInOrder();
    void instancesWithOtherDataDirectoriesDoNotMeet();

    void programWakesRunningInstanceWithoutStarting();
    void programRunsAsFirstInstanceAndWakesUp();

private:
    QProcess* Start(const QString& program, const QStringList& arguments = {});
    QProcess* StartPeer(const QStringList& arguments = {}) { return Start(m_peer, arguments); }
    QStringList Lines(QProcess* process);
    bool HasLine(QProcess* process, const QString& line);
    int CountLines(QProcess* process, const QString& line);
    QString RuntimeDir() const { return m_dir->filePath(QStringLiteral("runtime")); }
    // The lock file and the socket of a running (or killed) instance.
    QStringList InstanceFiles() const
    {
        return QDir(RuntimeDir())
            .entryList({ QStringLiteral("pricewarden-*") }, QDir::System | QDir::Files);
    }
    QString ProgramDataDir() const
    {
        return m_dir->filePath(QStringLiteral("data/Pricewarden/Pricewarden"));
    }
    QString CacheDir() const { return m_dir->filePath(QStringLiteral("tmp/pw_cache")); }

    static constexpr int ProcessTimeoutMs = 20000;

    QString m_peer;
    QString m_program;
    // Stands in for every outside server: the program's proxy points here,
    // so nothing it sends at start leaves the machine.
    QTcpServer m_deadEndProxy;
    std::unique_ptr<QTemporaryDir> m_dir;
    QProcessEnvironment m_environment;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    QHash<QProcess*, QByteArray> m_output;
};

void TestSingleInstance::initTestCase()
{
    m_peer = QCoreApplication::applicationDirPath() + QStringLiteral("/singleinstance_peer");
    m_program = QCoreApplication::applicationDirPath() + QStringLiteral("/pricewarden");
    QVERIFY2(QFileInfo(m_peer).isExecutable(), qPrintable(m_peer));
    QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
    QVERIFY(m_deadEndProxy.listen(QHostAddress::LocalHost, 0));
}

void TestSingleInstance::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("tmp")));
    const auto path = [this](const char* name) { return m_dir->filePath(QLatin1String(name)); };
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("HOME"), m_dir->path());
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), path("data"));
    m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), path("cache"));
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeDir());
    m_environment.insert(QStringLiteral("TMPDIR"), path("tmp"));
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_environment.remove(QStringLiteral("PRICEWARDEN_CONFIG"));
    const QString proxy = QStringLiteral("http://127.0.0.1:%1").arg(m_deadEndProxy.serverPort());
    for (const char* name : { "http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY" })
        m_environment.insert(QLatin1String(name), proxy);
    m_environment.remove(QStringLiteral("no_proxy"));
}

void TestSingleInstance::cleanup()
{
    for (const std::unique_ptr<QProcess>& process : m_processes) {
        if (process->state() == QProcess::NotRunning)
            continue;
        ::kill(static_cast<pid_t>(process->processId()), SIGCONT);
        process->kill();
        process->waitForFinished(ProcessTimeoutMs);
    }
    m_processes.clear();
    m_output.clear();
    m_dir.reset();
}

QProcess* TestSingleInstance::Start(const QString& program, const QStringList& arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(m_environment);
    process->start(program, arguments);
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

QStringList TestSingleInstance::Lines(QProcess* process)
{
    m_output[process] += process->readAllStandardOutput();
    return QString::fromUtf8(m_output.value(process)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool TestSingleInstance::HasLine(QProcess* process, const QString& line)
{
    return Lines(process).contains(line);
}

int TestSingleInstance::CountLines(QProcess* process, const QString& line)
{
    return static_cast<int>(Lines(process).count(line));
}

void TestSingleInstance::startMinimizedOnlyForExactFirstArgument_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("minimized");

    const QString program = QStringLiteral("pricewarden");
    QTest::newRow("no argument") << QStringList { program } << false;
    QTest::newRow("first") << QStringList { program, "-minimize" } << true;
    QTest::newRow("first, more follow") << QStringList { program, "-minimize", "x" } << true;
    QTest::newRow("second") << QStringList { program, "x", "-minimize" } << false;
    QTest::newRow("upper case") << QStringList { program, "-Minimize" } << false;
    QTest::newRow("all upper case") << QStringList { program, "-MINIMIZE" } << false;
    QTest::newRow("double dash") << QStringList { program, "--minimize" } << false;
    QTest::newRow("no dash") << QStringList { program, "minimize" } << false;
    QTest::newRow("longer") << QStringList { program, "-minimized" } << false;
    QTest::newRow("trailing blank") << QStringList { program, "-minimize " } << false;
    QTest::newRow("program name only") << QStringList { "-minimize" } << false;
    QTest::newRow("empty") << QStringList {} << false;
}

void TestSingleInstance::startMinimizedOnlyForExactFirstArgument()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, minimized);
    QCOMPARE(CommandLine::StartMinimized(arguments), minimized);
}

void TestSingleInstance::messageHandlerKeepsQtMessagesOffTheConsole_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("debug") << int(QtDebugMsg);
    QTest::newRow("info") << int(QtInfoMsg);
    QTest::newRow("warning") << int(QtWarningMsg);
    QTest::newRow("critical") << int(QtCriticalMsg);
}

void TestSingleInstance::messageHandlerKeepsQtMessagesOffTheConsole()
{
    QFETCH(int, type);
    // Qt's own handler does write these, or the check would prove nothing.
    QVERIFY(!ConsoleOutputOf(QtMsgType(type), nullptr).isEmpty());
    QCOMPARE(ConsoleOutputOf(QtMsgType(type), myMessageOutput), QByteArray());
}

void TestSingleInstance::secondStartWakesFirstAndRestoresItsWindow()
{
    QProcess* first = StartPeer({ QStringLiteral("-minimize") });
    QTRY_VERIFY_WITH_TIMEOUT(HasLine(first, "primary minimized=1 visible=1"), ProcessTimeoutMs);

    QProcess* second = StartPeer();
    QVERIFY(WaitForExit(*second, ProcessTimeoutMs));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(Lines(second), QStringList { "sent 1" });

    QTRY_VERIFY_WITH_TIMEOUT(
        HasLine(first, "message Wake up! minimized=0 visible=1"), ProcessTimeoutMs);
    QCOMPARE(first->state(), QProcess::Running);
}

void TestSingleInstance::minimizeOptionAppliesOnlyAsExactFirstArgument_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("report");

    QTest::newRow("first") << QStringList { "-minimize" } << "primary minimized=1 visible=1";
    QTest::newRow("second") << QStringList { "x", "-minimize" } << "primary minimized=0 visible=1";
    QTest::newRow("other case") << QStringList { "-MINIMIZE" } << "primary minimized=0 visible=1";
    QTest::newRow("none") << QStringList {} << "primary minimized=0 visible=1";
}

void TestSingleInstance::minimizeOptionAppliesOnlyAsExactFirstArgument()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, report);
    QProcess* peer = StartPeer(arguments);
    QTRY_VERIFY_WITH_TIMEOUT(!Lines(peer).isEmpty(), ProcessTimeoutMs);
    QCOMPARE(Lines(peer).constFirst(), report);
}

void TestSingleInstance::unresponsiveInstanceMakesSecondStartFail()
{
    QProcess* first = StartPeer();
    QTRY_VERIFY_WITH_TIMEOUT(HasLine(first, "primary minimized=0 visible=1"), ProcessTimeoutMs);
    QCOMPARE(::kill(static_cast<pid_t>(first->processId()), SIGSTOP), 0);

    m_environment.insert(QStringLiteral("PEER_TIMEOUT_MS"), QStringLiteral("300"));
    QProcess* second = StartPeer();
    QVERIFY(WaitForExit(*second, ProcessTimeoutMs));
    QCOMPARE(second->exitCode(), 1);
    QCOMPARE(Lines(second), QStringList { "sent 0" });

    // Once it runs again, the first instance is unharmed and still the one.
    QCOMPARE(::kill(static_cast<pid_t>(first->processId()), SIGCONT), 0);
    m_environment.remove(QStringLiteral("PEER_TIMEOUT_MS"));
    QProcess* third = StartPeer();
    QVERIFY(WaitForExit(*third, ProcessTimeoutMs));
    QCOMPARE(third->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(
        CountLines(first, "message Wake up! minimized=0 visible=1") >= 1, ProcessTimeoutMs);
}

void TestSingleInstance::killedInstanceDoesNotBlockTheNextStart()
{
    QProcess* killed = StartPeer();
    QTRY_VERIFY_WITH_TIMEOUT(HasLine(killed, "primary minimized=0 visible=1"), ProcessTimeoutMs);
    killed->kill();
    QVERIFY(WaitForExit(*killed, ProcessTimeoutMs));
    // The killed process left its lock and its socket behind.
    QCOMPARE(InstanceFiles().size(), 2);

    QProcess* next = StartPeer();
    QTRY_VERIFY_WITH_TIMEOUT(HasLine(next, "primary minimized=0 visible=1"), ProcessTimeoutMs);
    QProcess* waking = StartPeer();
    QVERIFY(WaitForExit(*waking, ProcessTimeoutMs));
    QCOMPARE(waking->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(
        HasLine(next, "message Wake up! minimized=0 visible=1"), ProcessTimeoutMs);
}

void TestSingleInstance::simultaneousStartsLeaveExactlyOneRunning_data()
{
    QTest::addColumn<bool>("afterKilledInstance");
    QTest::newRow("first start") << false;
    // All of them find the same stale lock and socket and race to take over.
    QTest::newRow("after a killed instance") << true;
}

void TestSingleInstance::simultaneousStartsLeaveExactlyOneRunning()
{
    QFETCH(bool, afterKilledInstance);
    if (afterKilledInstance) {
        QProcess* killed = StartPeer();
        QTRY_VERIFY_WITH_TIMEOUT(
            HasLine(killed, "primary minimized=0 visible=1"), ProcessTimeoutMs);
        killed->kill();
        QVERIFY(WaitForExit(*killed, ProcessTimeoutMs));
    }

    constexpr int Starts = 4;
    QList<QProcess*> peers;
    for (int i = 0; i < Starts; ++i)
        peers << StartPeer();

    const auto finished = [&peers] {
        return std::count_if(peers.cbegin(), peers.cend(),
            [](QProcess* p) { return p->state() == QProcess::NotRunning; });
    };
    QTRY_COMPARE_WITH_TIMEOUT(finished(), Starts - 1, ProcessTimeoutMs);

    QProcess* survivor = nullptr;
    for (QProcess* peer : std::as_const(peers)) {
        if (peer->state() != QProcess::NotRunning) {
            survivor = peer;
            continue;
        }
        QCOMPARE(peer->exitCode(), 0);
        QCOMPARE(Lines(peer), QStringList { "sent 1" });
    }
    QVERIFY(survivor);
    QTRY_COMPARE_WITH_TIMEOUT(CountLines(survivor, "message Wake up! minimized=0 visible=1"),
        Starts - 1, ProcessTimeoutMs);
    QCOMPARE(Lines(survivor).constFirst(), QStringLiteral("primary minimized=0 visible=1"));
    QCOMPARE(survivor->state(), QProcess::Running);
}

void TestSingleInstance::terminationSignalEndsTheInstanceInOrder()
{
    QProcess* first = StartPeer();
    QTRY_VERIFY_WITH_TIMEOUT(HasLine(first, "primary minimized=0 visible=1"), ProcessTimeoutMs);
    first->terminate();
    QVERIFY(WaitForExit(*first, ProcessTimeoutMs));
    QCOMPARE(first->exitStatus(), QProcess::NormalExit);
    QCOMPARE(first->exitCode(), 0);
    QCOMPARE(
        Lines(first).mid(1), QStringList({ QStringLiteral("signal %1").arg(SIGTERM), "exited 0" }));
    // An orderly end removes lock and socket.
    QVERIFY(InstanceFiles().isEmpty());

    QProcess* next = StartPeer();
    QTRY_VERIFY_WITH_TIMEOUT(HasLine(next, "primary minimized=0 visible=1"), ProcessTimeoutMs);
}

void TestSingleInstance::instancesWithOtherDataDirectoriesDoNotMeet()
{
    QProcess* first = StartPeer();
    QTRY_VERIFY_WITH_TIMEOUT(HasLine(first, "primary minimized=0 visible=1"), ProcessTimeoutMs);
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir->filePath("other-data"));
    QProcess* other = StartPeer();
    QTRY_VERIFY_WITH_TIMEOUT(HasLine(other, "primary minimized=0 visible=1"), ProcessTimeoutMs);
    QCOMPARE(first->state(), QProcess::Running);
}

void TestSingleInstance::programWakesRunningInstanceWithoutStarting()
{
    QProcess* first = StartPeer({ QStringLiteral("-minimize") });
    QTRY_VERIFY_WITH_TIMEOUT(HasLine(first, "primary minimized=1 visible=1"), ProcessTimeoutMs);

    QProcess* program = Start(m_program);
    QVERIFY(WaitForExit(*program, ProcessTimeoutMs));
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
    QCOMPARE(program->readAllStandardError(), QByteArray());
    QCOMPARE(program->readAllStandardOutput(), QByteArray());
    QTRY_VERIFY_WITH_TIMEOUT(
        HasLine(first, "message Wake up! minimized=0 visible=1"), ProcessTimeoutMs);
    // It ended before initialising anything, so no window was made either.
    QVERIFY(!QFileInfo::exists(ProgramDataDir()));
    QVERIFY(!QFileInfo::exists(CacheDir()));
}

void TestSingleInstance::programRunsAsFirstInstanceAndWakesUp()
{
    QProcess* program = Start(m_program);
    QTRY_VERIFY_WITH_TIMEOUT(InstanceFiles().size() == 2, ProcessTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(ProgramDataDir()), ProcessTimeoutMs);
    QVERIFY(QFileInfo(CacheDir()).isDir());

    QProcess* second = StartPeer();
    QVERIFY(WaitForExit(*second, ProcessTimeoutMs));
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(Lines(second), QStringList { "sent 1" });
    QCOMPARE(program->state(), QProcess::Running);

    program->terminate();
    QVERIFY(WaitForExit(*program, ProcessTimeoutMs));
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
    // Qt's own warnings (the offscreen platform has some) stay silent.
    QCOMPARE(program->readAllStandardError(), QByteArray());
    QVERIFY(InstanceFiles().isEmpty());
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
