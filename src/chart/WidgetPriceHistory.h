#pragma once

#include <QScrollArea>
#include <QVariantMap>

class WidgetPriceHistoryContent;

// The price chart as the main window places it: a scroll area around the
// chart, so that a zoomed chart can be scrolled sideways.
class WidgetPriceHistory : public QScrollArea
{
    Q_OBJECT

public:
    explicit WidgetPriceHistory(QWidget* parent = nullptr);

    WidgetPriceHistoryContent* Content() const { return m_content; }

public slots:
    void SetData(const QVariantMap& data);
    void SetOptions(const QVariantMap& map);
    // 0 shows the chart at the visible width, 99 almost ten times as wide.
    void SetZoomFactor(int nPercent);
    void SetShowAmazon(bool bShow);
    void SetShowNew(bool bShow);
    void SetShowUsed(bool bShow);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    WidgetPriceHistoryContent* m_content;
};
