#include "PriceHistoryBuilder.h"

#include "DayClock.h"
#include "ItemRecordKeys.h"

#include <algorithm>
#include <utility>

namespace {

const QString& kTimestamp = HistoryKey::Timestamp;

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
        { HistoryKey::Price, HistoryKey::PriceLowest, HistoryKey::PriceHighest },
        { HistoryKey::PriceNew, HistoryKey::NewLowest, HistoryKey::NewHighest },
        { HistoryKey::PriceUsed, HistoryKey::UsedLowest, HistoryKey::UsedHighest },
    } };
    return columns;
}

double MergedPrice(double dEarlier, double dLater)
{
    if (dEarlier > 0 && dLater > 0)
        return qMin(dEarlier, dLater);
    return qMax(dEarlier, dLater);
}

// The usual variant conversions, read directly for the types SQLite gives.
double NumberOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::Double)
        return *static_cast<const double*>(value.constData());
    if (value.typeId() == QMetaType::LongLong)
        return double(*static_cast<const qlonglong*>(value.constData()));
    return value.toDouble();
}

qint64 IntegerOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::LongLong)
        return *static_cast<const qlonglong*>(value.constData());
    return value.toLongLong();
}

const QVariant& ValueAt(const std::vector<QVariant>& row, int nPosition)
{
    static const QVariant missing;
    return nPosition < 0 ? missing : row[size_t(nPosition)];
}

} // namespace

PriceHistoryBuilder::PriceHistoryBuilder(const DayClock& clock)
    : m_clock(clock)
{
}

void PriceHistoryBuilder::SetColumns(const QStringList& columns)
{
    std::vector<std::pair<QString, size_t>> sorted;
    for (size_t i = 0; i < size_t(columns.size()); ++i)
        sorted.emplace_back(columns.at(qsizetype(i)), i);
    std::sort(sorted.begin(), sorted.end());
    m_pointTemplate.clear();
    m_sortedPositions.clear();
    for (const auto& [strName, nPosition] : sorted) {
        if (m_pointTemplate.contains(strName))
            continue;
        m_pointTemplate.insert(strName, QVariant());
        m_sortedPositions.push_back(nPosition);
    }
    m_nTimestampPosition = int(columns.indexOf(kTimestamp));
    for (size_t i = 0; i < m_pricePositions.size(); ++i)
        m_pricePositions[i] = int(columns.indexOf(PriceColumns()[i].strColumn));
}

void PriceHistoryBuilder::Add(std::vector<QVariant>* pRow)
{
    const QDate date = m_clock.DateOf(IntegerOf(ValueAt(*pRow, m_nTimestampPosition)));
    const Prices prices = PricesOf(*pRow);
    if (!m_points.empty() && date == m_lastDate) {
        MergeIntoLastPoint(pRow, prices);
        return;
    }
    m_points.push_back(m_pointTemplate);
    m_points.back().detach();
    FillPoint(&m_points.back(), pRow);
    m_prices.push_back(prices);
    m_lastDate = date;
}

PriceHistoryBuilder::Prices PriceHistoryBuilder::PricesOf(const std::vector<QVariant>& row) const
{
    Prices prices {};
    for (size_t i = 0; i < prices.size(); ++i)
        prices[i] = NumberOf(ValueAt(row, m_pricePositions[i]));
    return prices;
}

// Every column of the row under its name. The point starts as a copy of
// the template's tree, so no key is compared or placed again.
void PriceHistoryBuilder::FillPoint(QVariantMap* pPoint, std::vector<QVariant>* pRow) const
{
    auto position = m_sortedPositions.cbegin();
    for (auto it = pPoint->begin(); it != pPoint->end(); ++it, ++position)
        it.value() = std::move((*pRow)[*position]);
}

// Two rows of one day: per price column the smaller value when both are
// positive, else the larger one (so a price beats "no offer"). The later
// row keeps its own timestamp and other columns.
void PriceHistoryBuilder::MergeIntoLastPoint(std::vector<QVariant>* pRow, const Prices& prices)
{
    QVariantMap& point = m_points.back();
    FillPoint(&point, pRow);
    Prices& merged = m_prices.back();
    for (size_t i = 0; i < merged.size(); ++i) {
        merged[i] = MergedPrice(merged[i], prices[i]);
        if (m_pricePositions[i] >= 0)
            point.insert(PriceColumns()[i].strColumn, merged[i]);
    }
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
    QVariantList points;
    points.reserve(qsizetype(m_points.size()));
    for (const QVariantMap& point : m_points)
        points.append(point);

    QVariantMap history;
    history.insert(HistoryKey::PriceHistory, points);
    history.insert(HistoryKey::Locale, strLocale);
    if (points.isEmpty())
        return history;
    for (size_t i = 0; i < PriceColumns().size(); ++i) {
        const ExtremeKeys& column = PriceColumns()[i];
        const ExtremeIndexes indexes = FindExtremes(i);
        history.insert(column.strLowestKey, points.at(indexes.nLowest));
        history.insert(column.strHighestKey, points.at(indexes.nHighest));
    }
    return history;
}
