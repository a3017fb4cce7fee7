#pragma once

#include <QString>
#include <QVariantMap>
#include <array>

class DayClock;

// The texts of the price history legend: for each series (Amazon, new,
// used) the highest and the lowest price with the day each was seen, and
// the averages of the last 30, 90 and 365 days.
namespace PriceStatistics {

struct SeriesTexts
{
    QString strHighest;
    QString strLowest;
    QString strAverages; // 30, 90 and 365 days in one line, without currency
    QString strAveragesToolTip; // every window, with the days it counts
};

// "<b>$12.34</b> (2026-03-10)": the price of the point's key in the store's
// currency (no decimals for yen) and the local date of the point.
QString ExtremeText(const QVariantMap& point, const QString& strPriceKey, const QString& strLocale,
    const DayClock& clock);

// The store's currency and the price with the store's decimals.
QString PriceText(double dPrice, const QString& strLocale);

// A series whose highest price is not above 0 had no offer: all its texts
// are empty. The history map is that of DatabaseManager::GetPriceHistory.
std::array<SeriesTexts, 3> Texts(const QVariantMap& history, const DayClock& clock);

} // namespace PriceStatistics
