#pragma once

#include <QVariantList>
#include <array>

class DayClock;

// The average price of each series over the last 30, 90 and 365 days, from
// the daily points of a history (oldest first, one per local day).
//
// A point holds its prices from its day until the day before the next point,
// the last one until today: that is how the store records them, a new point
// only when a price changed. Each day of a window counts once, so a price
// that held for three weeks weighs three weeks, not one row. Days before the
// first point and days without an offer (a price of 0) are left out.
class PriceAverages
{
public:
    enum Series
    {
        Amazon,
        New,
        Used,
        SeriesCount
    };
    static constexpr std::array<int, 3> WindowDays { 30, 90, 365 };

    struct Mean
    {
        double dValue = 0;
        int nDays = 0; // days with an offer in the window; 0: nothing to show
    };

    // Today and the local date of each point come from the clock.
    PriceAverages(const QVariantList& points, const DayClock& clock);

    // nWindow indexes WindowDays.
    Mean Get(Series series, int nWindow) const;

private:
    std::array<std::array<Mean, WindowDays.size()>, SeriesCount> m_means {};
};
