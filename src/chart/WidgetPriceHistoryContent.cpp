#include "WidgetPriceHistoryContent.h"

#include "Global.h"
#include "ItemRecordKeys.h"

#include <QFile>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <array>
#include <cmath>

using namespace PriceChartGeometry;

namespace {

struct Series
{
    const QString& priceKey;
    const QString& option;
    QColor color;
};

// Drawn in this order, so that Amazon's own offer lies on top.
const std::array<Series, 3>& SeriesInDrawingOrder()
{
    static const std::array<Series, 3> series { {
        { HistoryKey::PriceUsed, ShowUsed, QColor(Qt::blue) },
        { HistoryKey::PriceNew, ShowNew, QColor(Qt::red) },
        { HistoryKey::Price, ShowAmazon, QColor(0, 200, 0) },
    } };
    return series;
}

constexpr double SeriesPenWidth = 2.0;

QPen SeriesPen(const QColor& color)
{
    return QPen(color, SeriesPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

// Points are maps inside variants; reading them in place spares a copy per
// point on every repaint.
const QVariantMap& PointAt(const QVariantList& history, int index)
{
    static const QVariantMap empty;
    const QVariant& point = history.at(index);
    if (point.metaType().id() != QMetaType::QVariantMap)
        return empty;
    return *static_cast<const QVariantMap*>(point.constData());
}

// A price that is no number or not finite counts as no offer.
double DrawablePrice(const QVariantMap& point, const QString& key)
{
    const double price = point.value(key).toDouble();
    return std::isfinite(price) ? price : 0.0;
}

// One series as a step line: its points in one array, broken into runs
// where an offer was missing.
struct SeriesLine
{
    QPolygonF points;
    QVector<int> runStarts;
    bool running = false;

    void ContinueFrom(const QPointF& point)
    {
        if (running)
            return;
        runStarts.append(int(points.size()));
        points.append(point);
        running = true;
    }

    // A point that only lengthens the last segment (same direction on the
    // same horizontal or vertical) replaces its end: the stroke is the same.
    void Add(const QPointF& point)
    {
        const qsizetype size = points.size();
        if (size - runStarts.constLast() >= 2) {
            const QPointF& before = points.at(size - 2);
            const QPointF& last = points.at(size - 1);
            if (point.x() == last.x() && point.y() == last.y())
                return;
            const bool vertical = before.x() == last.x() && last.x() == point.x()
                && (last.y() - before.y()) * (point.y() - last.y()) >= 0.0;
            const bool horizontal = before.y() == last.y() && last.y() == point.y()
                && (last.x() - before.x()) * (point.x() - last.x()) >= 0.0;
            if (vertical || horizontal) {
                points[size - 1] = point;
                return;
            }
        }
        points.append(point);
    }

    void Break() { running = false; }

    // Qt's antialiasing rasteriser slows down sharply with the size of a
    // single outline: a ten-year line filled at once takes several times as
    // long as the same line in short slices. Neighbouring slices share their
    // end point. Slices wholly beside the area being repainted (a moved
    // hover line) are skipped.
    void Draw(QPainter& painter, const QRect& dirty, QList<QPointF>* outline) const
    {
        constexpr int SlicePoints = 64;
        // Half the pen's width and the square cap reach this far.
        const double left = dirty.left() - SeriesPenWidth, right = dirty.right() + SeriesPenWidth;
        for (int run = 0; run < runStarts.size(); ++run) {
            const int end = run + 1 < runStarts.size() ? runStarts.at(run + 1) : int(points.size());
            for (int first = runStarts.at(run); first < end - 1; first += SlicePoints) {
                const int count = qMin(SlicePoints + 1, end - first);
                const auto [lowest, highest]
                    = std::minmax_element(points.cbegin() + first, points.cbegin() + first + count,
                        [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
                if (highest->x() < left || lowest->x() > right)
                    continue;
                outline->clear();
                AppendStrokeOutline(points.constData() + first, count, SeriesPenWidth / 2, outline);
                painter.drawPolygon(outline->constData(), int(outline->size()), Qt::WindingFill);
            }
        }
    }
};

} // namespace

WidgetPriceHistoryContent::WidgetPriceHistoryContent(QWidget* parent)
    : QWidget(parent)
    , m_options { { ShowAmazon, true }, { ShowNew, true }, { ShowUsed, true } }
{
    QFile readOut(QStringLiteral(":/price_info.html"));
    if (readOut.open(QIODevice::ReadOnly))
        m_readOutTemplate = QString::fromUtf8(readOut.readAll());
    setMouseTracking(true);
}

void WidgetPriceHistoryContent::SetClock(const DayClock& clock)
{
    m_clock = clock;
}

void WidgetPriceHistoryContent::SetData(const QVariantMap& data)
{
    m_history = data.value(HistoryKey::PriceHistory).toList();
    m_locale = data.value(HistoryKey::Locale).toString();
    m_nDayCount = 0;
    if (!m_history.isEmpty()) {
        m_startDate
            = m_clock.DateOf(PointAt(m_history, 0).value(HistoryKey::Timestamp).toLongLong());
        // A history that starts after today (the clock was set back) has no
        // days to show; it is drawn like an empty one.
        m_nDayCount = int(qMax<qint64>(0, m_startDate.daysTo(m_clock.Today()) + 1));
    }
    if (m_nDayCount == 0) {
        update();
        return;
    }
    m_range = RangeOf(data);
    UpdateSize();
}

void WidgetPriceHistoryContent::SetOptions(const QVariantMap& map)
{
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        m_options.insert(it.key(), it.value());
    UpdateSize();
}

void WidgetPriceHistoryContent::SetZoomFactor(double factor)
{
    m_zoomFactor = factor;
    UpdateSize();
}

void WidgetPriceHistoryContent::UpdateSize()
{
    if (const QWidget* parent = parentWidget()) {
        // The limits keep a stray factor from asking for an impossible size.
        const double width = std::isfinite(m_zoomFactor) ? parent->width() * m_zoomFactor : 0.0;
        resize(int(qBound(0.0, width, double(QWIDGETSIZE_MAX))), parent->height());
    }
    const QString widest
        = Global::CurrencyString.value(m_locale) + QString::number(m_range.highest, 'f', 1);
    m_plotRect = PriceChartGeometry::PlotRect(size(), fontMetrics().horizontalAdvance(widest));
    if (m_nDayCount > 0)
        m_columns = LayoutColumns(m_plotRect.left(), m_plotRect.right(), m_nDayCount);
    update();
}

double WidgetPriceHistoryContent::RoundToGrid(double value) const
{
    return PriceChartGeometry::RoundToGrid(value);
}

QVariantMap WidgetPriceHistoryContent::GetPriceByDate(const QDate& date) const
{
    return PriceByDate(m_history, date, m_clock);
}

void WidgetPriceHistoryContent::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (m_nDayCount == 0)
        return;
    const ValueGrid grid = GridFor(m_range, m_plotRect.height());
    if (grid.IsUsable())
        DrawValueGrid(painter, grid);
    if (m_columns.IsUsable())
        DrawDateAxis(painter);
    painter.setPen(Qt::gray);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_plotRect);
    ExtendToToday();
    // A plot too small for one band or one column has no place for a line.
    if (!m_columns.IsUsable())
        return;
    if (grid.IsUsable())
        DrawSeries(painter, grid, event->rect());
    if (m_nHoverDay < m_nDayCount) {
        painter.setPen(QPen(Qt::gray, 1.0, Qt::DashLine));
        const int x = XOfDay(m_columns, m_nHoverDay);
        painter.drawLine(x, m_plotRect.bottom(), x, m_plotRect.top());
    }
}

void WidgetPriceHistoryContent::DrawValueGrid(QPainter& painter, const ValueGrid& grid) const
{
    const QString currency = Global::CurrencyString.value(m_locale);
    const QPen linePen(Qt::gray, 1.0, Qt::DotLine);
    for (int line = 0; line <= grid.count; ++line) {
        const int y = m_plotRect.bottom() - line * grid.stepPixels;
        if (line > 0 && line < grid.count) {
            painter.setPen(linePen);
            painter.drawLine(m_plotRect.right(), y, m_plotRect.left(), y);
        }
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, y - grid.stepPixels / 2, m_plotRect.left() - 4, grid.stepPixels),
            Qt::AlignRight | Qt::AlignVCenter, currency + GridValueText(grid, line));
    }
}

void WidgetPriceHistoryContent::DrawDateAxis(QPainter& painter) const
{
    const QDate today = m_clock.Today();
    const int bottom = m_plotRect.bottom();
    const int width = m_columns.columnWidth;
    QDate date = m_startDate;
    for (int x = m_columns.firstDayX; x < m_plotRect.right(); x += width) {
        painter.setPen(date <= today ? Qt::black : Qt::gray);
        painter.drawLine(x, bottom + 1, x, bottom + 4);
        painter.drawText(QRect(x - width / 2, bottom + 4, width, 20),
            Qt::AlignHCenter | Qt::AlignTop,
            QLocale().toString(date, tr("MMM d", "date label of the chart's time axis")));
        date = date.addDays(m_columns.daysPerColumn);
    }
}

// The lines continue at the last known prices up to today. The added point
// stays until the next SetData, so this happens once per history and day.
void WidgetPriceHistoryContent::ExtendToToday()
{
    if (m_history.isEmpty())
        return;
    const QVariantMap& last = PointAt(m_history, int(m_history.size()) - 1);
    if (m_clock.IsToday(last.value(HistoryKey::Timestamp).toLongLong()))
        return;
    QVariantMap today = last;
    today.insert(HistoryKey::Timestamp, m_clock.NowSeconds());
    m_history.append(today);
}

void WidgetPriceHistoryContent::DrawSeries(
    QPainter& painter, const ValueGrid& grid, const QRect& dirty) const
{
    const auto& series = SeriesInDrawingOrder();
    const int bottom = m_plotRect.bottom();
    // Every segment is horizontal or vertical, so holding the ends a
    // widget's size beyond its edges changes no pixel, and keeps wild
    // prices or dates from reaching the rasteriser.
    const double nearY = -height(), farY = 2.0 * height();
    const int nearX = -width(), farX = 2 * width();
    const auto yOf = [&](double price) { return qBound(nearY, YOf(grid, bottom, price), farY); };

    std::array<bool, 3> shown {};
    std::array<SeriesLine, 3> lines;
    for (size_t s = 0; s < series.size(); ++s) {
        shown[s] = m_options.value(series[s].option).toBool();
        if (shown[s])
            lines[s].points.reserve(2 * int(m_history.size()) + 1);
    }
    std::array<double, 3> previous {};
    int previousX = 0;
    for (int i = 0; i < m_history.size(); ++i) {
        const QVariantMap& point = PointAt(m_history, i);
        const qint64 day
            = m_startDate.daysTo(m_clock.DateOf(point.value(HistoryKey::Timestamp).toLongLong()));
        const int x = qBound(nearX, XOfDay(m_columns, day), farX);
        for (size_t s = 0; s < series.size(); ++s) {
            if (!shown[s])
                continue;
            const double current = DrawablePrice(point, series[s].priceKey);
            // A price of 0 on either side is a day without that offer.
            if (i > 0 && previous[s] > 0.0 && current > 0.0) {
                const double y = yOf(previous[s]);
                lines[s].ContinueFrom(QPointF(previousX, y));
                lines[s].Add(QPointF(x, y));
                lines[s].Add(QPointF(x, yOf(current)));
            } else {
                lines[s].Break();
            }
            previous[s] = current;
        }
        previousX = x;
    }

    // The lines are filled as the outline of their stroke with the series'
    // pen (see SeriesLine), the single dot is drawn with the pen itself.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPolygonF outline;
    for (size_t s = 0; s < series.size(); ++s) {
        if (!shown[s])
            continue;
        if (m_history.size() == 1) {
            const double price = DrawablePrice(PointAt(m_history, 0), series[s].priceKey);
            painter.setPen(SeriesPen(series[s].color));
            if (price > 0.0)
                painter.drawPoint(QPointF(m_columns.firstDayX, yOf(price)));
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(series[s].color);
            lines[s].Draw(painter, dirty, &outline);
        }
    }
    painter.restore();
}

void WidgetPriceHistoryContent::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    const QPoint globalPosition = event->globalPosition().toPoint();
    if (!m_plotRect.contains(position) || !m_columns.IsUsable()) {
        ShowReadOut(QString(), globalPosition);
        return;
    }
    const int previousDay = m_nHoverDay;
    m_nHoverDay = DayAt(m_columns, m_plotRect.left(), position.x());
    // Only the line moves: the strips it leaves and enters are repainted.
    if (m_nHoverDay != previousDay) {
        update(HoverLineRect(previousDay));
        update(HoverLineRect(m_nHoverDay));
    }
    if (m_nHoverDay >= m_nDayCount) {
        ShowReadOut(QString(), globalPosition);
        return;
    }
    const QDate date = m_startDate.addDays(m_nHoverDay);
    const QVariantMap point = GetPriceByDate(date);
    ShowReadOut(m_readOutTemplate.arg(QLocale().toString(date, QLocale::LongFormat),
                    PriceText(m_locale, DrawablePrice(point, HistoryKey::Price)),
                    PriceText(m_locale, DrawablePrice(point, HistoryKey::PriceNew)),
                    PriceText(m_locale, DrawablePrice(point, HistoryKey::PriceUsed))),
        globalPosition);
}

QRect WidgetPriceHistoryContent::HoverLineRect(int nDay) const
{
    const int x = XOfDay(m_columns, nDay);
    return QRect(x - 1, m_plotRect.top() - 1, 3, m_plotRect.height() + 2);
}

// A tip already on screen follows the mouse at once; otherwise it appears
// the usual way when the mouse rests.
void WidgetPriceHistoryContent::ShowReadOut(const QString& text, const QPoint& globalPosition)
{
    setToolTip(text);
    if (!QToolTip::isVisible())
        return;
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(globalPosition, text, this);
}
