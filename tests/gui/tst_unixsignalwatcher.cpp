#include "UnixSignalWatcher.h"

#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {

using SignalHandler = void (*)(int);

SignalHandler CurrentHandler(int signalNumber)
{
    struct sigaction current = {};
    ::sigaction(signalNumber, nullptr, &current);
    return current.sa_handler;
}

} // namespace

// The watcher is driven by raise() in this process: the handler runs at once
// on this thread, and the Qt signal must follow through the event loop.
// Ending a real process with SIGTERM is covered by tst_singleinstance.
class TestUnixSignalWatcher : public QObject
{
    Q_OBJECT

private slots:
    void watchedSignalArrivesAsQtSignal_data();
    void watchedSignalArrivesAsQtSignal();
    void everySignalOfABurstArrives();
    void eachWatcherHearsOnlyItsOwnSignals();
    void earlierDispositionReturnsWithTheLastWatcher();
    void signalsThatCannotBeCaughtAreRefused_data();
    void signalsThatCannotBeCaughtAreRefused();
    void signalOfAGoneWatcherDoesNotReachTheNext();
};

void TestUnixSignalWatcher::watchedSignalArrivesAsQtSignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestUnixSignalWatcher::watchedSignalArrivesAsQtSignal()
{
    QFETCH(int, signalNumber);
    UnixSignalWatcher watcher;
    QSignalSpy spy(&watcher, &UnixSignalWatcher::unixSignal);
    QVERIFY(watcher.watch(signalNumber));
    QCOMPARE(watcher.watchedSignals(), QList<int> { signalNumber });

    QCOMPARE(::raise(signalNumber), 0);
    // The handler only notes the signal; nothing is emitted inside it.
    QCOMPARE(spy.count(), 0);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
}

void TestUnixSignalWatcher::everySignalOfABurstArrives()
{
    UnixSignalWatcher watcher;
    QSignalSpy spy(&watcher, &UnixSignalWatcher::unixSignal);
    QVERIFY(watcher.watch(SIGUSR1));
    QVERIFY(watcher.watch(SIGUSR2));

    QCOMPARE(::raise(SIGUSR1), 0);
    QCOMPARE(::raise(SIGUSR2), 0);
    QCOMPARE(::raise(SIGUSR1), 0);
    QTRY_COMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0).at(0).toInt(), SIGUSR1);
    QCOMPARE(spy.at(1).at(0).toInt(), SIGUSR2);
    QCOMPARE(spy.at(2).at(0).toInt(), SIGUSR1);
}

void TestUnixSignalWatcher::eachWatcherHearsOnlyItsOwnSignals()
{
    UnixSignalWatcher first;
    UnixSignalWatcher second;
    QSignalSpy firstSpy(&first, &UnixSignalWatcher::unixSignal);
    QSignalSpy secondSpy(&second, &UnixSignalWatcher::unixSignal);
    QVERIFY(first.watch(SIGUSR1));
    QVERIFY(second.watch(SIGUSR2));
    QVERIFY(second.watch(SIGUSR1));

    QCOMPARE(::raise(SIGUSR2), 0);
    QTRY_COMPARE(secondSpy.count(), 1);
    QCOMPARE(firstSpy.count(), 0);

    QCOMPARE(::raise(SIGUSR1), 0);
    QTRY_COMPARE(firstSpy.count(), 1);
    QCOMPARE(secondSpy.count(), 2);
    QCOMPARE(secondSpy.at(1).at(0).toInt(), SIGUSR1);
}

void TestUnixSignalWatcher::earlierDispositionReturnsWithTheLastWatcher()
{
    const SignalHandler original = ::signal(SIGUSR2, SIG_IGN);
    auto first = std::make_unique<UnixSignalWatcher>();
    auto second = std::make_unique<UnixSignalWatcher>();
    QVERIFY(first->watch(SIGUSR2));
    QVERIFY(second->watch(SIGUSR2));
    QVERIFY(CurrentHandler(SIGUSR2) != SIG_IGN);

    first.reset();
    QVERIFY(CurrentHandler(SIGUSR2) != SIG_IGN);
    QSignalSpy spy(second.get(), &UnixSignalWatcher::unixSignal);
    QCOMPARE(::raise(SIGUSR2), 0);
    QTRY_COMPARE(spy.count(), 1);

    second.reset();
    QVERIFY(CurrentHandler(SIGUSR2) == SIG_IGN);
    ::signal(SIGUSR2, original);
}

void TestUnixSignalWatcher::signalsThatCannotBeCaughtAreRefused_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGKILL") << SIGKILL;
    QTest::newRow("SIGSTOP") << SIGSTOP;
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -1;
    QTest::newRow("beyond the last") << 100000;
}

void TestUnixSignalWatcher::signalsThatCannotBeCaughtAreRefused()
{
    QFETCH(int, signalNumber);
    UnixSignalWatcher watcher;
    QVERIFY(!watcher.watch(signalNumber));
    QVERIFY(watcher.watchedSignals().isEmpty());
    // A refused signal leaves the watcher usable for others.
    QSignalSpy spy(&watcher, &UnixSignalWatcher::unixSignal);
    QVERIFY(watcher.watch(SIGUSR1));
    QCOMPARE(::raise(SIGUSR1), 0);
    QTRY_COMPARE(spy.count(), 1);
}

void TestUnixSignalWatcher::signalOfAGoneWatcherDoesNotReachTheNext()
{
    auto gone = std::make_unique<UnixSignalWatcher>();
    QVERIFY(gone->watch(SIGUSR1));
    // Noted by the handler, never delivered: the watcher goes first.
    QCOMPARE(::raise(SIGUSR1), 0);
    gone.reset();

    UnixSignalWatcher next;
    QSignalSpy spy(&next, &UnixSignalWatcher::unixSignal);
    QVERIFY(next.watch(SIGUSR1));
    QCOMPARE(::raise(SIGUSR1), 0);
    QTRY_COMPARE(spy.count(), 1);
    // Everything waiting is read in one go, so a leftover would show now.
    QCoreApplication::processEvents();
    QCOMPARE(spy.count(), 1);
}

QTEST_MAIN(TestUnixSignalWatcher)
#include "tst_unixsignalwatcher.moc"
