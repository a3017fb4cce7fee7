#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <array>
#include <vector>

class DayClock;

// Turns the history rows of one product, oldest first, into the history map
// the detail pane and the chart read: one point per local day (rows of the
// same day merged) and the six points holding the lowest and highest
// positive value of each price column.
//
// Each day's map is built once, from a template holding the column names,
// and rows of the same day are merged into it in place.
class PriceHistoryBuilder
{
public:
    explicit PriceHistoryBuilder(const DayClock& clock);

    // The names of a row's values, in the order in which Add gets them.
    // Set before the first row; a point carries each value under its name.
    void SetColumns(const QStringList& columns);
    // One row: a value per column. The values are moved out; the vector
    // keeps its size, ready for the next row.
    void Add(std::vector<QVariant>* pRow);
    QVariantMap Result(const QString& strLocale) const;

private:
    using Prices = std::array<double, 3>; // Price, PriceNew, PriceUsed

    struct ExtremeIndexes
    {
        int nLowest = 0;
        int nHighest = 0;
    };

    Prices PricesOf(const std::vector<QVariant>& row) const;
    void MergeIntoLastPoint(std::vector<QVariant>* pRow, const Prices& prices);
    ExtremeIndexes FindExtremes(size_t nColumn) const;
    void FillPoint(QVariantMap* pPoint, std::vector<QVariant>* pRow) const;

    const DayClock& m_clock;
    QVariantMap m_pointTemplate; // every column name, without values
    std::vector<size_t> m_sortedPositions; // the row position of each name, in key order
    int m_nTimestampPosition = -1;
    std::array<int, 3> m_pricePositions { -1, -1, -1 };

    std::vector<QVariantMap> m_points;
    std::vector<Prices> m_prices; // the price columns of each point, for the extremes
    QDate m_lastDate;
};
