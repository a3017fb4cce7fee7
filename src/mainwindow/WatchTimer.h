#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

// A repeating timer for the watch interval, which may be anything from a
// minute to a thousand hours. QTimer counts its interval in a signed 32-bit
// number of milliseconds, which ends just short of 597 hours; this one keeps
// the interval in 64 bits and reaches it in steps, each at most the step
// limit long, against a deadline, so that a long period runs its full length
// and is never cut short by a coarse step that fires early.
class WatchTimer : public QObject
{
    Q_OBJECT

public:
    // The longest single step a QTimer can take.
    static constexpr qint64 MaxStepMilliseconds = 2147483647;

    explicit WatchTimer(QObject* parent = nullptr);

    // A running timer restarts its period with the new interval; a stopped
    // one stays stopped. Intervals below 1 ms count as 1 ms.
    void setInterval(qint64 milliseconds);
    qint64 interval() const { return m_interval; }

    bool isActive() const { return m_active; }
    // Milliseconds left in the running period; -1 when stopped.
    qint64 remainingTime() const;

    // The longest step the timer waits in one go; tests shorten it to see
    // the steps add up. At least 1 ms.
    void setStepLimit(qint64 milliseconds);

public slots:
    // Starts (or restarts) a full period.
    void start();
    void stop();

signals:
    void timeout();

private slots:
    void OnStep();

private:
    void ArmNextStep();

    QTimer m_step;
    QDeadlineTimer m_deadline;
    qint64 m_interval = 0;
    qint64 m_stepLimit = MaxStepMilliseconds;
    bool m_active = false;
};
