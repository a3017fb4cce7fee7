#include "UnixSignalWatcher.h"

#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {

QList<int> Numbers(const QSignalSpy& spy)
{
    QList<int> numbers;
    for (const QList<QVariant>& arguments : spy)
        numbers << arguments.at(0).toInt();
    return numbers;
}

} // namespace

// The watcher is driven by raise() in this process: the handler runs at once
// on this thread, and the Qt signal must follow through the event loop.
// Ending a real process with SIGTERM is covered by tst_singleinstance.
class TestUnixSignalWatcher : public QObject
{
    Q_OBJECT

private slots:
    void watchedSignalArrivesThroughTheEventLoop_data();
    void watchedSignalArrivesThroughTheEventLoop();
    void eachWatcherHearsEverySignalOfABurstItWatches();
    void earlierDispositionReturnsWithTheLastWatcher();
    void signalsThatCannotBeCaughtAreRefused();
    void signalOfAGoneWatcherDoesNotReachTheNext();
};

void TestUnixSignalWatcher::watchedSignalArrivesThroughTheEventLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestUnixSignalWatcher::watchedSignalArrivesThroughTheEventLoop()
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
    QCOMPARE(Numbers(spy), QList<int> { signalNumber });
}

void TestUnixSignalWatcher::eachWatcherHearsEverySignalOfABurstItWatches()
{
    UnixSignalWatcher first;
    UnixSignalWatcher second;
    QSignalSpy firstSpy(&first, &UnixSignalWatcher::unixSignal);
    QSignalSpy secondSpy(&second, &UnixSignalWatcher::unixSignal);
    QVERIFY(first.watch(SIGUSR1));
    QVERIFY(second.watch(SIGUSR2));
    QVERIFY(second.watch(SIGUSR1));

    for (int signalNumber : { SIGUSR1, SIGUSR2, SIGUSR1 })
        QCOMPARE(::raise(signalNumber), 0);
    QTRY_COMPARE(secondSpy.count(), 3);
    QCOMPARE(Numbers(secondSpy), QList<int>({ SIGUSR1, SIGUSR2, SIGUSR1 }));
    QCOMPARE(Numbers(firstSpy), QList<int>({ SIGUSR1, SIGUSR1 }));
}

void TestUnixSignalWatcher::earlierDispositionReturnsWithTheLastWatcher()
{
    const auto currentHandler = [] {
        struct sigaction current = {};
        ::sigaction(SIGUSR2, nullptr, &current);
        return current.sa_handler;
    };
    const auto original = ::signal(SIGUSR2, SIG_IGN);
    auto first = std::make_unique<UnixSignalWatcher>();
    auto second = std::make_unique<UnixSignalWatcher>();
    QVERIFY(first->watch(SIGUSR2));
    QVERIFY(second->watch(SIGUSR2));
    QVERIFY(currentHandler() != SIG_IGN);

    first.reset();
    QVERIFY(currentHandler() != SIG_IGN);
    QSignalSpy spy(second.get(), &UnixSignalWatcher::unixSignal);
    QCOMPARE(::raise(SIGUSR2), 0);
    QTRY_COMPARE(spy.count(), 1);

    second.reset();
    QVERIFY(currentHandler() == SIG_IGN);
    ::signal(SIGUSR2, original);
}

// A refused signal leaves the watcher usable for others.
void TestUnixSignalWatcher::signalsThatCannotBeCaughtAreRefused()
{
    UnixSignalWatcher watcher;
    for (int signalNumber : { SIGKILL, SIGSTOP, 0, -1, 100000 })
        QVERIFY2(!watcher.watch(signalNumber), qPrintable(QString::number(signalNumber)));
    QVERIFY(watcher.watchedSignals().isEmpty());
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
