#include "WatchTimer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

// The watch interval's timer: periods made of steps, up to 1000 hours.
class TestWatchTimer : public QObject
{
    Q_OBJECT

private slots:
    void periodIsMadeOfSteps_data();
    void periodIsMadeOfSteps();
};

void TestWatchTimer::periodIsMadeOfSteps_data()
{
    QTest::addColumn<qint64>("interval");
    QTest::addColumn<qint64>("stepLimit");
    QTest::newRow("one step") << qint64(60) << WatchTimer::MaxStepMilliseconds;
    QTest::newRow("steps not dividing the period") << qint64(100) << qint64(7);
    QTest::newRow("1000 hours") << qint64(1000) * 3600 * 1000 << WatchTimer::MaxStepMilliseconds;
}

void TestWatchTimer::periodIsMadeOfSteps()
{
    QFETCH(qint64, interval);
    QFETCH(qint64, stepLimit);
    WatchTimer timer;
    timer.setStepLimit(stepLimit);
    timer.setInterval(interval);
    QVERIFY(!timer.isActive());
    QSignalSpy timeouts(&timer, &WatchTimer::timeout);
    QElapsedTimer clock;
    clock.start();
    timer.start();
    // Not wrapped round to a short or negative 32-bit count.
    QVERIFY(timer.remainingTime() > interval - 50);
    if (interval > WatchTimer::MaxStepMilliseconds) {
        QVERIFY(!timeouts.wait(100));
        return;
    }
    // A new interval on a running timer counts from now.
    QVERIFY(!timeouts.wait(int(interval / 2)));
    clock.restart();
    timer.setInterval(interval);
    QVERIFY(timeouts.wait(5000));
    QVERIFY(clock.elapsed() >= interval);
    QTRY_COMPARE_WITH_TIMEOUT(timeouts.count(), 2, 5000);
    QVERIFY(clock.elapsed() >= 2 * interval);
    timer.stop();
    QCOMPARE(timer.remainingTime(), qint64(-1));
}

QTEST_GUILESS_MAIN(TestWatchTimer)
#include "tst_watchtimer.moc"
