#include "PriceChartGeometry.h"

#include "DayClock.h"
#include "Global.h"
#include "ItemRecordKeys.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <limits>

namespace PriceChartGeometry {

namespace {

// Powers of ten up to 10^22 are exact doubles, so grid steps such as 0.05
// come out as the very number the literal names.
double TimesPowerOfTen(double mantissa, int exponent)
{
    static const double exact[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
    const int last = int(sizeof(exact) / sizeof(exact[0])) - 1;
    if (exponent >= 0 && exponent <= last)
        return mantissa * exact[exponent];
    if (exponent < 0 && -exponent <= last)
        return mantissa / exact[-exponent];
    return mantissa * std::pow(10.0, exponent);
}

double PriceOf(const QVariantMap& point, const QString& key)
{
    return point.value(key).toDouble();
}

double Sign(double value)
{
    return value > 0.0 ? 1.0 : value < 0.0 ? -1.0 : 0.0;
}

QPointF Direction(const QPointF& from, const QPointF& to)
{
    return QPointF(Sign(to.x() - from.x()), Sign(to.y() - from.y()));
}

// The side of the line that one walk along it keeps on its left.
QPointF Normal(const QPointF& direction)
{
    return QPointF(direction.y(), -direction.x());
}

// One side of a stroke, walking the line from its first point to its last
// through at(0) ... at(count - 1).
template <typename PointAt>
void AppendOutlineSide(PointAt at, int count, double halfWidth, QList<QPointF>* outline)
{
    QPointF direction = Direction(at(0), at(1));
    outline->append(at(0) + (Normal(direction) - direction) * halfWidth);
    for (int i = 1; i < count - 1; ++i) {
        const QPointF corner = at(i);
        const QPointF next = Direction(corner, at(i + 1));
        outline->append(corner + Normal(direction) * halfWidth);
        // On the inside of a turn the outline passes through the corner
        // itself; on the outside the bevel joins the two edges directly. A
        // reversal ends flat.
        if (QPointF::dotProduct(Normal(direction), next) > 0.0)
            outline->append(corner);
        outline->append(corner + Normal(next) * halfWidth);
        direction = next;
    }
    outline->append(at(count - 1) + (Normal(direction) + direction) * halfWidth);
}

qint64 TimestampOf(const QVariant& point)
{
    return point.toMap().value(HistoryKey::Timestamp).toLongLong();
}

} // namespace

ValueRange RangeOf(const QVariantMap& history)
{
    struct Extremes
    {
        const QString& priceKey;
        const QString& lowestKey;
        const QString& highestKey;
    };
    const Extremes series[] = {
        { HistoryKey::Price, HistoryKey::PriceLowest, HistoryKey::PriceHighest },
        { HistoryKey::PriceNew, HistoryKey::NewLowest, HistoryKey::NewHighest },
        { HistoryKey::PriceUsed, HistoryKey::UsedLowest, HistoryKey::UsedHighest },
    };
    double smallest = std::numeric_limits<double>::infinity();
    double largest = -std::numeric_limits<double>::infinity();
    for (const Extremes& extremes : series) {
        const double lowest = PriceOf(history.value(extremes.lowestKey).toMap(), extremes.priceKey);
        if (!(lowest > 0.0))
            continue;
        const double highest
            = PriceOf(history.value(extremes.highestKey).toMap(), extremes.priceKey);
        for (const double value : { lowest, highest }) {
            if (!std::isfinite(value))
                continue;
            smallest = std::min(smallest, value);
            largest = std::max(largest, value);
        }
    }
    ValueRange range;
    if (smallest > largest)
        return range;
    if (smallest == largest) {
        range.highest = smallest * 1.5;
        return range;
    }
    const double margin = (largest - smallest) / 5;
    range.lowest = smallest - margin;
    range.highest = largest + margin;
    return range;
}

double RoundToGrid(double value)
{
    if (!(value > 0.0) || !std::isfinite(value))
        return 0.0;
    // The logarithm may be off by one near a power of ten; the candidates
    // one decade either side cover that.
    const int exponent = int(std::floor(std::log10(value)));
    for (int decade = exponent - 1; decade <= exponent + 1; ++decade) {
        for (const double mantissa : { 1.0, 2.0, 5.0 }) {
            const double candidate = TimesPowerOfTen(mantissa, decade);
            if (candidate >= value)
                return std::isfinite(candidate) ? candidate : 0.0;
        }
    }
    return 0.0;
}

ValueGrid GridFor(const ValueRange& range, int plotHeight)
{
    const ValueGrid none;
    const int bands = plotHeight / PixelsPerBand;
    const double span = range.highest - range.lowest;
    if (bands <= 0 || !std::isfinite(span) || span < 0.0)
        return none;
    // Grid steps are never finer than one currency unit.
    const double quotient = span / bands;
    const double rounded = RoundToGrid(quotient);
    if (quotient > 1.0 && rounded == 0.0)
        return none;
    ValueGrid grid;
    grid.step = std::max(1.0, rounded);
    grid.base = std::trunc(range.lowest / grid.step) * grid.step;
    const double top = std::trunc(range.highest / grid.step + 1) * grid.step;
    const double count = std::trunc((top - grid.base) / grid.step + 0.5);
    // Exactly computed, the lines number at most bands + 2. Prices so large
    // that a step no longer tells them apart give a count of 0 or far too
    // many lines; such a range gets no grid at all.
    if (!(count >= 1.0) || count > bands + 3)
        return none;
    grid.count = int(count);
    grid.stepPixels = plotHeight / grid.count;
    return grid;
}

double YOf(const ValueGrid& grid, int bottom, double price)
{
    return bottom - (price - grid.base) / grid.step * grid.stepPixels;
}

QString GridValueText(const ValueGrid& grid, int line)
{
    // Adding 0.0 turns a negative zero into the plain zero.
    return QString::number(std::trunc(line * grid.step + grid.base) + 0.0, 'f', 0);
}

QRect PlotRect(const QSize& size, int labelWidth)
{
    QRect plot;
    plot.setCoords(
        PlotLeft + labelWidth, PlotTop, size.width() - PlotRightGap, size.height() - PlotBottomGap);
    return plot;
}

Columns LayoutColumns(int left, int right, int dayCount)
{
    Columns columns;
    if (dayCount <= 0)
        return columns;
    const int days = dayCount > 7 ? dayCount + 1 : 9;
    const int plotWidth = right - left + 1;
    int daysPerColumn = 1;
    if (plotWidth > 99)
        daysPerColumn = std::max(1, days / (plotWidth / 100));
    const int columnWidth = plotWidth / (days / daysPerColumn + 1);
    if (columnWidth <= 0)
        return columns;
    columns.daysPerColumn = daysPerColumn;
    columns.columnWidth = columnWidth;
    columns.firstDayX = left + (columnWidth / daysPerColumn) / 4;
    return columns;
}

int XOfDay(const Columns& columns, qint64 day)
{
    if (!columns.IsUsable())
        return columns.firstDayX;
    // Far beyond any widget either way; keeps the product within 64 bits.
    const qint64 far = qint64(1) << 31;
    const qint64 x
        = columns.firstDayX + qBound(-far, day, far) * columns.columnWidth / columns.daysPerColumn;
    return int(qBound(-far, x, far - 1));
}

int DayAt(const Columns& columns, int left, int x)
{
    if (!columns.IsUsable())
        return -1;
    const double day
        = std::trunc(double(x - left) / columns.columnWidth * columns.daysPerColumn + 0.5);
    return int(qBound(-1.0, day, double(std::numeric_limits<int>::max())));
}

void AppendStrokeOutline(
    const QPointF* points, int count, double halfWidth, QList<QPointF>* outline)
{
    if (count < 2 || (count == 2 && points[0] == points[1]))
        return;
    AppendOutlineSide([points](int i) { return points[i]; }, count, halfWidth, outline);
    AppendOutlineSide(
        [points, count](int i) { return points[count - 1 - i]; }, count, halfWidth, outline);
}

QVariantMap PriceByDate(const QVariantList& history, const QDate& date, const DayClock& clock)
{
    for (int i = 0; i < history.size(); ++i) {
        const QDate day = clock.DateOf(TimestampOf(history.at(i)));
        if (day == date)
            return history.at(i).toMap();
        if (day > date && i > 0)
            return history.at(i - 1).toMap();
    }
    return {};
}

QString PriceText(const QString& locale, double price)
{
    if (!(price > 0.0) || !std::isfinite(price))
        return QString();
    const int decimals = locale == QLatin1String("jp") ? 0 : 2;
    return Global::CurrencyString.value(locale) + QString::number(price, 'f', decimals);
}

} // namespace PriceChartGeometry
