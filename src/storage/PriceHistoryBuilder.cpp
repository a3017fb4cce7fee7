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
    const qint64 nTimestamp = row.value(kTimestamp).toLongLong();
    const Prices prices = PricesOf(row);
    Add(std::move(row), nTimestamp, prices);
}

void PriceHistoryBuilder::Add(QVariantMap row, qint64 nTimestamp, const Prices& prices)
{
    const QDate date = m_clock.DateOf(nTimestamp);
    if (!m_points.isEmpty() && date == m_lastDate) {
        const QVariantMap merged = Merged(m_points.last().toMap(), std::move(row));
        m_prices.back() = PricesOf(merged);
        m_points.last() = merged;
        return;
    }
    m_prices.push_back(prices);
    m_points.append(std::move(row));
    m_lastDate = date;
}

PriceHistoryBuilder::Prices PriceHistoryBuilder::PricesOf(const QVariantMap& point)
{
    Prices prices {};
    for (size_t i = 0; i < prices.size(); ++i)
        prices[i] = point.value(PriceColumns()[i].strColumn).toDouble();
    return prices;
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
PriceHistoryBuilder::ExtremeIndexes PriceHistoryBuilder::FindExtremes(size_t nColumn) const
{
    ExtremeIndexes indexes;
    bool bFound = false;
    double dLowest = 0;
    double dHighest = 0;
    for (int i = 0; i < int(m_prices.size()); ++i) {
        const double dValue = m_prices[size_t(i)][nColumn];
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
    for (size_t i = 0; i < PriceColumns().size(); ++i) {
        const ExtremeKeys& column = PriceColumns()[i];
        const ExtremeIndexes indexes = FindExtremes(i);
        history.insert(column.strLowestKey, m_points.at(indexes.nLowest));
        history.insert(column.strHighestKey, m_points.at(indexes.nHighest));
    }
    return history;
}
