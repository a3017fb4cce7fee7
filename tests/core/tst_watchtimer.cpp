#include "WatchTimer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

// The watch interval's timer: periods longer than a QTimer can count, made of
// shorter steps, and the QTimer-like behaviour the window relies on.
class TestWatchTimer : public QObject
{
    Q_OBJECT

private slots:
    void periodIsMadeOfSteps_data();
    void periodIsMadeOfSteps();
    void thousandHoursAreKept();
    void newIntervalRestartsOnlyARunningPeriod();
};

void TestWatchTimer::periodIsMadeOfSteps_data()
{
    QTest::addColumn<qint64>("interval");
    QTest::addColumn<qint64>("stepLimit");
    QTest::newRow("one step") << qint64(60) << WatchTimer::MaxStepMilliseconds;
    QTest::newRow("many short steps") << qint64(120) << qint64(7);
    QTest::newRow("steps not dividing the period") << qint64(100) << qint64(30);
}

void TestWatchTimer::periodIsMadeOfSteps()
{
    QFETCH(qint64, interval);
    QFETCH(qint64, stepLimit);
    WatchTimer timer;
    timer.setStepLimit(stepLimit);
    timer.setInterval(interval);
    QSignalSpy timeouts(&timer, &WatchTimer::timeout);
    QElapsedTimer clock;
    clock.start();
    timer.start();
    QVERIFY(timer.isActive());
    QVERIFY(timeouts.wait(5000));
    QVERIFY2(clock.elapsed() >= interval, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(timeouts.count(), 1);
    // It repeats, each period counted in full again.
    const qint64 first = clock.elapsed();
    QTRY_COMPARE_WITH_TIMEOUT(timeouts.count(), 2, 5000);
    QVERIFY(clock.elapsed() - first >= interval);
    timer.stop();
    QVERIFY(!timer.isActive());
    QCOMPARE(timer.remainingTime(), qint64(-1));
}

void TestWatchTimer::thousandHoursAreKept()
{
    const qint64 thousandHours = qint64(1000) * 3600 * 1000;
    WatchTimer timer;
    timer.setInterval(thousandHours);
    QCOMPARE(timer.interval(), thousandHours);
    QSignalSpy timeouts(&timer, &WatchTimer::timeout);
    timer.start();
    // Far beyond what one 32-bit step holds, and not wrapped round to a
    // short or negative count.
    QVERIFY(timer.remainingTime() > WatchTimer::MaxStepMilliseconds);
    QVERIFY(timer.remainingTime() <= thousandHours);
    QVERIFY(!timeouts.wait(100));
    QVERIFY(timer.isActive());
}

void TestWatchTimer::newIntervalRestartsOnlyARunningPeriod()
{
    WatchTimer timer;
    timer.setInterval(qint64(3600) * 1000);
    timer.setInterval(150);
    QVERIFY(!timer.isActive());

    QSignalSpy timeouts(&timer, &WatchTimer::timeout);
    timer.start();
    QVERIFY(!timeouts.wait(80));
    // A new interval on a running timer counts from now, not from the start.
    QElapsedTimer clock;
    clock.start();
    timer.setInterval(150);
    QVERIFY(timeouts.wait(5000));
    QVERIFY(clock.elapsed() >= 150);
}

QTEST_GUILESS_MAIN(TestWatchTimer)
#include "tst_watchtimer.moc"
