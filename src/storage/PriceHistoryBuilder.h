#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

class DayClock;

// Turns the history rows of one product, oldest first, into the history map
// the detail pane and the chart read: one point per local day (rows of the
// same day merged) and the six points holding the lowest and highest
// positive value of each price column.
class PriceHistoryBuilder
{
public:
    explicit PriceHistoryBuilder(const DayClock& clock);

    void Add(QVariantMap row);
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

    ExtremeIndexes FindExtremes(const QString& strColumn) const;

    const DayClock& m_clock;
    QVariantList m_points;
    QDate m_lastDate;
};
