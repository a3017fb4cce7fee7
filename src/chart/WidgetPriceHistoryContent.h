#pragma once

#include "DayClock.h"
#include "PriceChartGeometry.h"

#include <QDate>
#include <QRect>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <QWidget>

class QPainter;

// The price chart itself: a step line per price series (Amazon's offer,
// the lowest new and the lowest used price) over a date axis from the first
// recorded day to today, a price grid, a hover line and a read-out of the
// day under the mouse. Everything is recomputed from the history on each
// repaint.
class WidgetPriceHistoryContent : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetPriceHistoryContent(QWidget* parent = nullptr);

    // Stretches the chart horizontally (1.0: the width of the parent).
    void SetZoomFactor(double factor);
    // Follows the parent's size and lays out plot and date axis again.
    void UpdateSize();
    double RoundToGrid(double value) const;
    QVariantMap GetPriceByDate(const QDate& date) const;

    // Decides what today is and in which time zone points fall on days.
    void SetClock(const DayClock& clock);

    // The layout last computed: the area inside the axes and the columns of
    // the date axis.
    QRect PlotRect() const { return m_plotRect; }
    PriceChartGeometry::Columns Columns() const { return m_columns; }

public slots:
    // A history map: its points, its store and its extreme points.
    void SetData(const QVariantMap& data);
    // "ShowAmazon", "ShowNew", "ShowUsed": which series are drawn; entries
    // not in the map keep their values.
    void SetOptions(const QVariantMap& map);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void DrawValueGrid(QPainter& painter, const PriceChartGeometry::ValueGrid& grid) const;
    void DrawDateAxis(QPainter& painter) const;
    void ExtendToToday();
    void DrawSeries(
        QPainter& painter, const PriceChartGeometry::ValueGrid& grid, const QRect& dirty) const;
    QRect HoverLineRect(int nDay) const;
    void ShowReadOut(const QString& text, const QPoint& globalPosition);

    QVariantList m_history;
    QString m_locale = QStringLiteral("us");
    double m_zoomFactor = 1.0;
    PriceChartGeometry::ValueRange m_range;
    QDate m_startDate;
    int m_nDayCount = 0;
    QRect m_plotRect;
    PriceChartGeometry::Columns m_columns;
    int m_nHoverDay = 0;
    QString m_readOutTemplate;
    QVariantMap m_options;
    DayClock m_clock;
};
