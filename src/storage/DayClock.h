#pragma once

#include <QDate>
#include <QDateTime>
#include <QTimeZone>
#include <functional>
#include <limits>

// The time source of the price history and the calendar that decides which
// local day a stored timestamp belongs to. Both can be replaced, so that
// points can be placed on chosen days and in chosen time zones.
class DayClock
{
public:
    using TimeSource = std::function<QDateTime()>;

    DayClock();

    // An empty source falls back to the system clock.
    void SetTimeSource(TimeSource source);
    void SetTimeZone(const QTimeZone& zone);

    QDateTime Now() const;
    qint64 NowSeconds() const;
    QDate Today() const;

    // The local calendar date of a moment given in seconds since
    // 1970-01-01 00:00:00 UTC.
    QDate DateOf(qint64 nSecondsSinceEpoch) const;
    bool IsToday(qint64 nSecondsSinceEpoch) const;

private:
    void LoadOffsetSpan(qint64 nSecondsSinceEpoch) const;

    TimeSource m_source;
    QTimeZone m_zone;

    // A history is read oldest first: the zone's offset from UTC is looked
    // up once per stretch between two of its transitions, and each date
    // inside a stretch is plain arithmetic.
    mutable qint64 m_nSpanStart = std::numeric_limits<qint64>::max();
    mutable qint64 m_nSpanEnd = std::numeric_limits<qint64>::min();
    mutable int m_nSpanOffset = 0;
};
