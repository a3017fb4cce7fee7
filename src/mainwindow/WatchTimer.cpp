#include "WatchTimer.h"

#include <algorithm>

WatchTimer::WatchTimer(QObject* parent)
    : QObject(parent)
{
    m_step.setSingleShot(true);
    connect(&m_step, &QTimer::timeout, this, &WatchTimer::OnStep);
}

void WatchTimer::setInterval(qint64 milliseconds)
{
    m_interval = std::max<qint64>(1, milliseconds);
    if (m_active)
        start();
}

void WatchTimer::setStepLimit(qint64 milliseconds)
{
    m_stepLimit = std::clamp<qint64>(milliseconds, 1, MaxStepMilliseconds);
    if (m_active)
        ArmNextStep();
}

qint64 WatchTimer::remainingTime() const
{
    return m_active ? m_deadline.remainingTime() : -1;
}

void WatchTimer::start()
{
    m_active = true;
    m_deadline.setRemainingTime(std::max<qint64>(1, m_interval), Qt::PreciseTimer);
    ArmNextStep();
}

void WatchTimer::stop()
{
    m_active = false;
    m_step.stop();
}

void WatchTimer::ArmNextStep()
{
    const qint64 remaining = std::max<qint64>(0, m_deadline.remainingTime());
    const qint64 step = std::min(remaining, m_stepLimit);
    // Short steps must not fire early; for long ones a coarse timer saves
    // wake-ups, and the deadline catches any early firing.
    m_step.setTimerType(step < 60 * 1000 ? Qt::PreciseTimer : Qt::CoarseTimer);
    m_step.start(static_cast<int>(step));
}

void WatchTimer::OnStep()
{
    if (!m_active)
        return;
    if (m_deadline.remainingTime() > 0) {
        ArmNextStep();
        return;
    }
    // The next period is counted from now, as a repeating timer does.
    m_deadline.setRemainingTime(m_interval, Qt::PreciseTimer);
    ArmNextStep();
    emit timeout();
}
