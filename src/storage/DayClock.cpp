#include "DayClock.h"

#include <utility>

DayClock::DayClock()
    : m_zone(QTimeZone::systemTimeZone())
{
}

void DayClock::SetTimeSource(TimeSource source)
{
    m_source = std::move(source);
}

void DayClock::SetTimeZone(const QTimeZone& zone)
{
    m_zone = zone.isValid() ? zone : QTimeZone::systemTimeZone();
}

QDateTime DayClock::Now() const
{
    return m_source ? m_source() : QDateTime::currentDateTimeUtc();
}

qint64 DayClock::NowSeconds() const
{
    return Now().toSecsSinceEpoch();
}

QDate DayClock::Today() const
{
    return Now().toTimeZone(m_zone).date();
}

QDate DayClock::DateOf(qint64 nSecondsSinceEpoch) const
{
    return QDateTime::fromSecsSinceEpoch(nSecondsSinceEpoch, m_zone).date();
}

bool DayClock::IsToday(qint64 nSecondsSinceEpoch) const
{
    return DateOf(nSecondsSinceEpoch) == Today();
}
