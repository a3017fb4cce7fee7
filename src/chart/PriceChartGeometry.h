#pragma once

#include <QDate>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

class DayClock;

// The arithmetic of the price chart, free of widgets, so that the layout
// can be checked as numbers. Integer arithmetic truncates toward zero, as
// the painted chart does.
namespace PriceChartGeometry {

// The plot's distance from the chart's edges: the left one grows by the
// width of the widest price label, the bottom one leaves room for dates.
inline constexpr int PlotLeft = 15;
inline constexpr int PlotTop = 25;
inline constexpr int PlotRightGap = 31;
inline constexpr int PlotBottomGap = 31;
// Roughly one price line per this many pixels of plot height.
inline constexpr int PixelsPerBand = 35;

// The chart's options: whether each series is drawn.
inline const QString ShowAmazon = QStringLiteral("ShowAmazon");
inline const QString ShowNew = QStringLiteral("ShowNew");
inline const QString ShowUsed = QStringLiteral("ShowUsed");

// The prices the value axis spans.
struct ValueRange
{
    double lowest = 0.0;
    double highest = 1.0;
};

// The span of a history map's extreme points (hidden series included),
// widened by a fifth on each side; a single price p gives 0 to 1.5 p, and
// a history without any positive price keeps 0 to 1. Prices that are not
// finite numbers are left out.
ValueRange RangeOf(const QVariantMap& history);

// The smallest 1, 2 or 5 times a power of ten that is not below the value.
// Returns 0 for a value it cannot round: not a positive finite number, or
// one whose rounding would not be finite.
double RoundToGrid(double value);

// The horizontal price lines: line i lies i * stepPixels above the plot's
// bottom and stands for base + i * step.
struct ValueGrid
{
    double step = 0.0;
    double base = 0.0;
    int count = 0;
    int stepPixels = 0;

    // False when the plot is too low for one band or the range cannot be
    // divided sensibly; the chart then draws neither grid nor series.
    bool IsUsable() const { return count > 0 && stepPixels > 0; }
};

ValueGrid GridFor(const ValueRange& range, int plotHeight);
double YOf(const ValueGrid& grid, int bottom, double price);
// The price line's label without currency: the truncated whole units.
QString GridValueText(const ValueGrid& grid, int line);

// The plot inside a chart of the given size, its left edge moved right by
// the width of the price labels.
QRect PlotRect(const QSize& size, int labelWidth);

// The date axis: a label every daysPerColumn days, columnWidth pixels apart,
// the first day a quarter of a day's width inside the plot.
struct Columns
{
    int firstDayX = 0;
    int columnWidth = 0;
    int daysPerColumn = 0;

    // False when the plot is too narrow for the days it has to show.
    bool IsUsable() const { return columnWidth > 0 && daysPerColumn > 0; }
};

// At least nine days are laid out, so a short history leaves room for
// future days.
Columns LayoutColumns(int left, int right, int dayCount);
int XOfDay(const Columns& columns, qint64 day);
// The day nearest to a pixel column, counted from the plot's left edge; -1
// for an unusable layout.
int DayAt(const Columns& columns, int left, int x);

// The outline of a line of horizontal and vertical segments as Qt's stroker
// draws it with the given half width, bevel joins and square caps: filled
// with the winding rule it covers the same pixels, without the stroker's
// general join geometry, which costs more than the filling. Consecutive
// points must differ; a line of one repeated point has no outline.
void AppendStrokeOutline(
    const QPointF* points, int count, double halfWidth, QList<QPointF>* outline);

// The history point in force on a date: the point of that day, else the
// one before the first later point (never before the first point); an empty
// map when the date lies after the last point or the history is empty.
QVariantMap PriceByDate(const QVariantList& history, const QDate& date, const DayClock& clock);

// A read-out price: the store's currency and the amount (whole units in the
// "jp" store, cents elsewhere); empty when the price is not above 0.
QString PriceText(const QString& locale, double price);

} // namespace PriceChartGeometry
