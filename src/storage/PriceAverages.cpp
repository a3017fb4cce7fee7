#include "PriceAverages.h"

#include "DayClock.h"
#include "ItemRecordKeys.h"

#include <QVariantMap>
#include <algorithm>
#include <cmath>

namespace {

const qint64 kSecondsPerDay = 24 * 3600;

qint64 TimestampOf(const QVariant& point)
{
    return point.toMap().value(HistoryKey::Timestamp).toLongLong();
}

// The first point that can still hold a day of the longest window: the one
// before the first point stamped inside it (with a margin for the time
// zone), which holds its price into the window.
qsizetype FirstRelevantPoint(const QVariantList& points, qint64 nWindowStartSeconds)
{
    const auto first = std::lower_bound(points.cbegin(), points.cend(), nWindowStartSeconds,
        [](const QVariant& point, qint64 nSeconds) { return TimestampOf(point) < nSeconds; });
    return std::max<qsizetype>(0, (first - points.cbegin()) - 1);
}

} // namespace

PriceAverages::PriceAverages(const QVariantList& points, const DayClock& clock)
{
    static const std::array<QString, SeriesCount> columns { HistoryKey::Price, HistoryKey::PriceNew,
        HistoryKey::PriceUsed };
    const qint64 nToday = clock.Today().toJulianDay();
    const int nLongest = *std::max_element(WindowDays.cbegin(), WindowDays.cend());
    const qint64 nMargin = 2 * kSecondsPerDay;
    qsizetype i
        = FirstRelevantPoint(points, clock.NowSeconds() - nLongest * kSecondsPerDay - nMargin);

    std::array<std::array<double, WindowDays.size()>, SeriesCount> sums {};
    qint64 nBegin = i < points.size() ? clock.DateOf(TimestampOf(points.at(i))).toJulianDay() : 0;
    for (; i < points.size(); ++i) {
        const QVariantMap point = points.at(i).toMap();
        const qint64 nEnd = i + 1 < points.size()
            ? clock.DateOf(TimestampOf(points.at(i + 1))).toJulianDay()
            : nToday + 1;
        for (size_t w = 0; w < WindowDays.size(); ++w) {
            const qint64 nDays
                = std::min(nEnd, nToday + 1) - std::max(nBegin, nToday - WindowDays[w] + 1);
            if (nDays <= 0)
                continue;
            for (size_t s = 0; s < columns.size(); ++s) {
                const double dPrice = point.value(columns[s]).toDouble();
                if (!(dPrice > 0) || !std::isfinite(dPrice))
                    continue;
                sums[s][w] += dPrice * double(nDays);
                m_means[s][w].nDays += int(nDays);
            }
        }
        nBegin = nEnd;
    }
    for (size_t s = 0; s < sums.size(); ++s) {
        for (size_t w = 0; w < WindowDays.size(); ++w) {
            if (m_means[s][w].nDays > 0)
                m_means[s][w].dValue = sums[s][w] / m_means[s][w].nDays;
        }
    }
}

PriceAverages::Mean PriceAverages::Get(Series series, int nWindow) const
{
    if (series < 0 || series >= SeriesCount || nWindow < 0 || nWindow >= int(WindowDays.size()))
        return {};
    return m_means[size_t(series)][size_t(nWindow)];
}
