#pragma once

#include <QDate>
#include <QDateTime>
#include <QTimeZone>
#include <functional>

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
    TimeSource m_source;
    QTimeZone m_zone;
};
