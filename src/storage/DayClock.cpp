#include "DayClock.h"

#include <utility>

namespace {

const qint64 kSecondsPerDay = 24 * 3600;

qint64 FloorDivide(qint64 nValue, qint64 nDivisor)
{
    const qint64 nQuotient = nValue / nDivisor;
    return (nValue % nDivisor != 0 && nValue < 0) ? nQuotient - 1 : nQuotient;
}

} // namespace

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
    m_nSpanStart = std::numeric_limits<qint64>::max();
    m_nSpanEnd = std::numeric_limits<qint64>::min();
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
    return DateOf(NowSeconds());
}

QDate DayClock::DateOf(qint64 nSecondsSinceEpoch) const
{
    if (nSecondsSinceEpoch < m_nSpanStart || nSecondsSinceEpoch >= m_nSpanEnd)
        LoadOffsetSpan(nSecondsSinceEpoch);
    if (m_nSpanStart > m_nSpanEnd)
        return QDateTime::fromSecsSinceEpoch(nSecondsSinceEpoch, m_zone).date();
    const qint64 nLocalDay = FloorDivide(nSecondsSinceEpoch + m_nSpanOffset, kSecondsPerDay);
    return QDate(1970, 1, 1).addDays(nLocalDay);
}

bool DayClock::IsToday(qint64 nSecondsSinceEpoch) const
{
    return DateOf(nSecondsSinceEpoch) == Today();
}

// The stretch starts at the moment asked for (a transition exactly there is
// already in effect) and ends at the zone's next transition. A zone that
// cannot tell its transitions gets no stretch: every date is then converted
// on its own.
void DayClock::LoadOffsetSpan(qint64 nSecondsSinceEpoch) const
{
    const QDateTime moment = QDateTime::fromSecsSinceEpoch(nSecondsSinceEpoch, Qt::UTC);
    m_nSpanOffset = m_zone.offsetFromUtc(moment);
    m_nSpanStart = nSecondsSinceEpoch;
    m_nSpanEnd = std::numeric_limits<qint64>::max();
    if (!m_zone.hasTransitions()) {
        if (m_zone.id().startsWith("UTC"))
            return;
        m_nSpanStart = std::numeric_limits<qint64>::max();
        m_nSpanEnd = std::numeric_limits<qint64>::min();
        return;
    }
    const QTimeZone::OffsetData next = m_zone.nextTransition(moment);
    if (next.atUtc.isValid())
        m_nSpanEnd = next.atUtc.toSecsSinceEpoch();
}
