#include "WidgetPriceHistory.h"

#include "PriceChartGeometry.h"
#include "WidgetPriceHistoryContent.h"

WidgetPriceHistory::WidgetPriceHistory(QWidget* parent)
    : QScrollArea(parent)
    , m_content(new WidgetPriceHistoryContent(this))
{
    QFont chartFont = font();
    chartFont.setPointSize(10);
    setFont(chartFont);
    setWidget(m_content);
}

void WidgetPriceHistory::SetData(const QVariantMap& data)
{
    m_content->SetData(data);
}

void WidgetPriceHistory::SetOptions(const QVariantMap& map)
{
    m_content->SetOptions(map);
}

void WidgetPriceHistory::SetZoomFactor(int nPercent)
{
    m_content->SetZoomFactor(nPercent * 0.09 + 1.0);
}

void WidgetPriceHistory::SetShowAmazon(bool bShow)
{
    m_content->SetOptions({ { PriceChartGeometry::ShowAmazon, bShow } });
}

void WidgetPriceHistory::SetShowNew(bool bShow)
{
    m_content->SetOptions({ { PriceChartGeometry::ShowNew, bShow } });
}

void WidgetPriceHistory::SetShowUsed(bool bShow)
{
    m_content->SetOptions({ { PriceChartGeometry::ShowUsed, bShow } });
}

void WidgetPriceHistory::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    m_content->UpdateSize();
}
