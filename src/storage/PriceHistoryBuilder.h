#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <array>
#include <vector>

class DayClock;

// Turns the history rows of one product, oldest first, into the history map
// the detail pane and the chart read: one point per local day (rows of the
// same day merged) and the six points holding the lowest and highest
// positive value of each price column.
class PriceHistoryBuilder
{
public:
    using Prices = std::array<double, 3>; // Price, PriceNew, PriceUsed

    explicit PriceHistoryBuilder(const DayClock& clock);

    void Add(QVariantMap row);
    // The same, with the row's timestamp and prices already read out.
    void Add(QVariantMap row, qint64 nTimestamp, const Prices& prices);
    QVariantMap Result(const QString& strLocale) const;

    // Two rows of one day: per price column the smaller value when both are
    // positive, else the larger one (so a price beats "no offer"). The later
    // row keeps its own timestamp and other columns.
    static QVariantMap Merged(const QVariantMap& earlier, QVariantMap later);

private:
    struct ExtremeIndexes
    {
        int nLowest = 0;
        int nHighest = 0;
    };

    static Prices PricesOf(const QVariantMap& point);
    ExtremeIndexes FindExtremes(size_t nColumn) const;

    const DayClock& m_clock;
    QVariantList m_points;
    std::vector<Prices> m_prices; // the price columns of each point, for the extremes
    QDate m_lastDate;
};
