#include "PriceHistoryBuilder.h"

#include "DayClock.h"

#include <array>
#include <utility>

namespace {

const QString kTimestamp = QStringLiteral("Timestamp");

// Each price column with the keys under which its two extreme points are
// returned.
struct ExtremeKeys
{
    QString strColumn;
    QString strLowestKey;
    QString strHighestKey;
};

const std::array<ExtremeKeys, 3>& PriceColumns()
{
    static const std::array<ExtremeKeys, 3> columns { {
        { QStringLiteral("Price"), QStringLiteral("PriceLowest"), QStringLiteral("PriceHighest") },
        { QStringLiteral("PriceNew"), QStringLiteral("NewLowest"), QStringLiteral("NewHighest") },
        { QStringLiteral("PriceUsed"), QStringLiteral("UsedLowest"),
            QStringLiteral("UsedHighest") },
    } };
    return columns;
}

double MergedPrice(double dEarlier, double dLater)
{
    if (dEarlier > 0 && dLater > 0)
        return qMin(dEarlier, dLater);
    return qMax(dEarlier, dLater);
}

} // namespace

PriceHistoryBuilder::PriceHistoryBuilder(const DayClock& clock)
    : m_clock(clock)
{
}

void PriceHistoryBuilder::Add(QVariantMap row)
{
    const QDate date = m_clock.DateOf(row.value(kTimestamp).toLongLong());
    if (!m_points.isEmpty() && date == m_lastDate) {
        m_points.last() = Merged(m_points.last().toMap(), std::move(row));
        return;
    }
    m_points.append(std::move(row));
    m_lastDate = date;
}

QVariantMap PriceHistoryBuilder::Merged(const QVariantMap& earlier, QVariantMap later)
{
    for (const ExtremeKeys& column : PriceColumns()) {
        const double dEarlier = earlier.value(column.strColumn).toDouble();
        const double dLater = later.value(column.strColumn).toDouble();
        later.insert(column.strColumn, MergedPrice(dEarlier, dLater));
    }
    return later;
}

// Runs over the finished list, so that a point lowered by a later row of
// its day can no longer stand as the highest with a value it lost.
PriceHistoryBuilder::ExtremeIndexes PriceHistoryBuilder::FindExtremes(
    const QString& strColumn) const
{
    ExtremeIndexes indexes;
    bool bFound = false;
    double dLowest = 0;
    double dHighest = 0;
    for (int i = 0; i < m_points.size(); ++i) {
        const double dValue = m_points.at(i).toMap().value(strColumn).toDouble();
        if (!(dValue > 0))
            continue;
        if (!bFound || dValue < dLowest) {
            dLowest = dValue;
            indexes.nLowest = i;
        }
        if (!bFound || dValue > dHighest) {
            dHighest = dValue;
            indexes.nHighest = i;
        }
        bFound = true;
    }
    return indexes;
}

QVariantMap PriceHistoryBuilder::Result(const QString& strLocale) const
{
    QVariantMap history;
    history.insert(QStringLiteral("PriceHistory"), m_points);
    history.insert(QStringLiteral("Locale"), strLocale);
    if (m_points.isEmpty())
        return history;
    for (const ExtremeKeys& column : PriceColumns()) {
        const ExtremeIndexes indexes = FindExtremes(column.strColumn);
        history.insert(column.strLowestKey, m_points.at(indexes.nLowest));
        history.insert(column.strHighestKey, m_points.at(indexes.nHighest));
    }
    return history;
}
