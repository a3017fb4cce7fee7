#include "WatchCycle.h"
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
    void shortenedMinimum_data();
    void shortenedMinimum();
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

void TestWatchTimer::shortenedMinimum_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<qint64>("milliseconds"); // of a stored interval of 0 s
    QTest::newRow("unset") << QByteArray() << qint64(60000);
    QTest::newRow("a few seconds") << QByteArray(" 3\n") << qint64(3000);
    QTest::newRow("zero would poll without pause") << QByteArray("0") << qint64(60000);
    QTest::newRow("negative") << QByteArray("-5") << qint64(60000);
    QTest::newRow("never lengthens") << QByteArray("600") << qint64(60000);
    QTest::newRow("not a number") << QByteArray("2s") << qint64(60000);
}

void TestWatchTimer::shortenedMinimum()
{
    QFETCH(QByteArray, variable);
    QFETCH(qint64, milliseconds);
    const qint64 minimum = WatchCycle::MinimumSeconds(variable);
    QCOMPARE(WatchCycle::IntervalMilliseconds(0, minimum), milliseconds);
    // A stored interval above the minimum is kept as it is.
    QCOMPARE(WatchCycle::IntervalMilliseconds(90, minimum), qint64(90000));
}

QTEST_GUILESS_MAIN(TestWatchTimer)
#include "tst_watchtimer.moc"
