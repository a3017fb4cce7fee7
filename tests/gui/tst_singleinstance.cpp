#include "CommandLine.h"
#include "ProcessWait.h"

#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>
#include <vector>

namespace {

constexpr int Timeout = 20000;
const QString Primary = QStringLiteral("primary minimized=0 visible=1");
const QString WokenUp = QStringLiteral("message Wake up! minimized=0 visible=1");
const QStringList Delivered { QStringLiteral("sent 1") };

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

    void commandLineIsReadAsBefore_data();
    void commandLineIsReadAsBefore();
    void unresponsiveInstanceMakesSecondStartFail();
    void simultaneousStartsLeaveExactlyOneRunning_data();
    void simultaneousStartsLeaveExactlyOneRunning();
    void programWakesRunningInstanceWithoutStarting();
    void programRunsAsFirstInstanceAndWakesUp();

private:
    QProcess* Start(const QString& program, const QStringList& arguments = {});
    QProcess* StartPeer(const QStringList& arguments = {}) { return Start(m_peer, arguments); }
    QStringList Lines(QProcess* process);
    int Count(QProcess* process, const QString& line) { return int(Lines(process).count(line)); }
    // The lock file and the socket of a running (or killed) instance.
    int InstanceFiles() const
    {
        return int(QDir(m_dir->filePath("runtime"))
                       .entryList({ QStringLiteral("pricewarden-*") }, QDir::System | QDir::Files)
                       .size());
    }
    QString ProgramDataDir() const { return m_dir->filePath("data/Pricewarden/Pricewarden"); }

    QString m_peer;
    QString m_program;
    // Stands in for every outside server: the program's proxy points here,
    // so nothing it sends at start leaves the machine.
    QTcpServer m_deadEndProxy;
    std::unique_ptr<QTemporaryDir> m_dir;
    QProcessEnvironment m_environment;
    std::vector<std::unique_ptr<QProcess>> m_processes;
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
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("HOME"), m_dir->path());
    const QList<std::pair<const char*, const char*>> directories { { "XDG_CONFIG_HOME", "config" },
        { "XDG_DATA_HOME", "data" }, { "XDG_CACHE_HOME", "cache" },
        { "XDG_RUNTIME_DIR", "runtime" }, { "TMPDIR", "tmp" } };
    for (const auto& [variable, name] : directories)
        m_environment.insert(QLatin1String(variable), m_dir->filePath(QLatin1String(name)));
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_environment.remove(QStringLiteral("PRICEWARDEN_CONFIG"));
    m_environment.remove(QStringLiteral("no_proxy"));
    const QString proxy = QStringLiteral("http://127.0.0.1:%1").arg(m_deadEndProxy.serverPort());
    for (const char* name : { "http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY" })
        m_environment.insert(QLatin1String(name), proxy);
}

void TestSingleInstance::cleanup()
{
    for (const std::unique_ptr<QProcess>& process : m_processes) {
        process->kill(); // also ends a stopped process
        process->waitForFinished(Timeout);
    }
    m_processes.clear();
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

// Everything the process wrote so far; peek() leaves it for the next look.
QStringList TestSingleInstance::Lines(QProcess* process)
{
    return QString::fromUtf8(process->peek(process->bytesAvailable()))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestSingleInstance::commandLineIsReadAsBefore_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("minimized");
    QTest::addColumn<QString>("information"); // the start of the printed text

    const QString none;
    const QString help = QStringLiteral("Usage: pricewarden [options]\n");
    const QString version = QStringLiteral("Pricewarden 1.3\n");
    QTest::newRow("no argument") << QStringList { "pricewarden" } << false << none;
    QTest::newRow("first") << QStringList { "pricewarden", "-minimize" } << true << none;
    QTest::newRow("first, more follow")
        << QStringList { "pricewarden", "-minimize", "x" } << true << none;
    QTest::newRow("second") << QStringList { "pricewarden", "x", "-minimize" } << false << none;
    QTest::newRow("upper case") << QStringList { "pricewarden", "-Minimize" } << false << none;
    QTest::newRow("double dash") << QStringList { "pricewarden", "--minimize" } << false << none;
    QTest::newRow("no dash") << QStringList { "pricewarden", "minimize" } << false << none;
    QTest::newRow("longer") << QStringList { "pricewarden", "-minimized" } << false << none;
    QTest::newRow("trailing blank") << QStringList { "pricewarden", "-minimize " } << false << none;
    QTest::newRow("program name only") << QStringList { "-minimize" } << false << none;
    QTest::newRow("empty") << QStringList {} << false << none;
    QTest::newRow("a word holding v and h")
        << QStringList { "pricewarden", "-verbose", "-hush" } << false << none;
    QTest::newRow("--help") << QStringList { "/usr/bin/pricewarden", "--help" } << false << help;
    QTest::newRow("-h after -minimize")
        << QStringList { "pricewarden", "-minimize", "-h" } << true << help;
    QTest::newRow("--version") << QStringList { "pricewarden", "--version" } << false << version;
    QTest::newRow("-v among unknown ones")
        << QStringList { "pricewarden", "--colour=red", "-v", "file" } << false << version;
}

void TestSingleInstance::commandLineIsReadAsBefore()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, minimized);
    QFETCH(QString, information);
    QCOMPARE(CommandLine::StartMinimized(arguments), minimized);
    const QString text = CommandLine::InformationText(arguments);
    QVERIFY2(
        information.isEmpty() ? text.isEmpty() : text.startsWith(information), qPrintable(text));
}

void TestSingleInstance::unresponsiveInstanceMakesSecondStartFail()
{
    QProcess* first = StartPeer();
    QTRY_COMPARE_WITH_TIMEOUT(Count(first, Primary), 1, Timeout);
    QCOMPARE(::kill(static_cast<pid_t>(first->processId()), SIGSTOP), 0);

    m_environment.insert(QStringLiteral("PEER_TIMEOUT_MS"), QStringLiteral("300"));
    QProcess* second = StartPeer();
    QVERIFY(WaitForExit(*second, Timeout));
    QCOMPARE(second->exitCode(), 1);
    QCOMPARE(Lines(second), QStringList { "sent 0" });

    // Once it runs again, the first instance is unharmed and still the one.
    QCOMPARE(::kill(static_cast<pid_t>(first->processId()), SIGCONT), 0);
    m_environment.remove(QStringLiteral("PEER_TIMEOUT_MS"));
    QProcess* third = StartPeer();
    QVERIFY(WaitForExit(*third, Timeout));
    QCOMPARE(third->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(Count(first, WokenUp) >= 1, Timeout);
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
        QTRY_COMPARE_WITH_TIMEOUT(Count(killed, Primary), 1, Timeout);
        killed->kill();
        QVERIFY(WaitForExit(*killed, Timeout));
        QCOMPARE(InstanceFiles(), 2);
    }

    constexpr int Starts = 4;
    QList<QProcess*> peers;
    for (int i = 0; i < Starts; ++i)
        peers << StartPeer();
    const auto finished = [&peers] {
        return std::count_if(peers.cbegin(), peers.cend(),
            [](QProcess* p) { return p->state() == QProcess::NotRunning; });
    };
    QTRY_COMPARE_WITH_TIMEOUT(finished(), Starts - 1, Timeout);

    QProcess* survivor = nullptr;
    for (QProcess* peer : std::as_const(peers)) {
        if (peer->state() != QProcess::NotRunning) {
            survivor = peer;
            continue;
        }
        QCOMPARE(peer->exitCode(), 0);
        QCOMPARE(Lines(peer), Delivered);
    }
    QVERIFY(survivor);
    QTRY_COMPARE_WITH_TIMEOUT(Count(survivor, WokenUp), Starts - 1, Timeout);
    QCOMPARE(Lines(survivor).constFirst(), Primary);
    QCOMPARE(survivor->state(), QProcess::Running);
}

// The woken instance's window is restored from minimised. The program's Qt
// messages (without its handler the offscreen platform prints some) never
// reach the console. --version is answered before any application object
// exists (there is no display to open here), so it cannot reach the instance.
void TestSingleInstance::programWakesRunningInstanceWithoutStarting()
{
    QProcess* first = StartPeer({ QStringLiteral("-minimize") });
    QTRY_COMPARE_WITH_TIMEOUT(Count(first, "primary minimized=1 visible=1"), 1, Timeout);
    const QProcessEnvironment withDisplay = m_environment;
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_environment.remove(QStringLiteral("DISPLAY"));
    QProcess* version = Start(m_program, { QStringLiteral("--version") });
    QVERIFY(WaitForExit(*version, Timeout));
    QCOMPARE(version->readAll(), QByteArray("Pricewarden 1.3\n"));
    QCOMPARE(version->exitCode(), 0);
    m_environment = withDisplay;

    QProcess* program = Start(m_program);
    QVERIFY(WaitForExit(*program, Timeout));
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
    QCOMPARE(program->readAllStandardError(), QByteArray());
    QCOMPARE(program->readAllStandardOutput(), QByteArray());
    QTRY_COMPARE_WITH_TIMEOUT(Count(first, WokenUp), 1, Timeout);
    // It ended before initialising anything, so no window was made either.
    QVERIFY(!QFileInfo::exists(ProgramDataDir()));
    QVERIFY(!QFileInfo::exists(m_dir->filePath("tmp/pw_cache")));
}

// It ends in order on SIGTERM: exit code 0, lock and socket removed.
void TestSingleInstance::programRunsAsFirstInstanceAndWakesUp()
{
    QProcess* program = Start(m_program);
    QTRY_COMPARE_WITH_TIMEOUT(InstanceFiles(), 2, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(ProgramDataDir()), Timeout);
    QVERIFY(QFileInfo(m_dir->filePath("tmp/pw_cache")).isDir());

    QProcess* second = StartPeer();
    QVERIFY(WaitForExit(*second, Timeout));
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(Lines(second), Delivered);
    QCOMPARE(program->state(), QProcess::Running);

    program->terminate();
    QVERIFY(WaitForExit(*program, Timeout));
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
    QCOMPARE(program->readAllStandardError(), QByteArray());
    QCOMPARE(InstanceFiles(), 0);
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
