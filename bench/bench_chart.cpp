// Painting the price chart of a ten-year daily history (three series) into
// a 1000 x 400 image, and the repaint that follows a mouse move, with the
// target and the frame budget beside each figure.

#include "BenchmarkTargets.h"
#include "DayClock.h"
#include "Global.h"
#include "ItemRecordKeys.h"
#include "WidgetPriceHistoryContent.h"

#include <QApplication>
#include <QImage>
#include <QMap>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTimeZone>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

constexpr int DayCount = 3650;
const QSize ChartSize(1000, 400);
const QDateTime Today(QDate(2024, 6, 30), QTime(18, 0), QTimeZone("UTC"));

// One point a day, every price moving a little each day, a stretch of days
// without used offers; the extremes as the history store reports them.
QVariantMap TenYearHistory()
{
    QRandomGenerator random(42);
    const qint64 first = Today.toSecsSinceEpoch() - qint64(DayCount - 1) * 86400;
    QVariantList points;
    double prices[3] = { 120.0, 110.0, 80.0 };
    const QString* keys[3] = { &HistoryKey::Price, &HistoryKey::PriceNew, &HistoryKey::PriceUsed };
    QVariantMap lowest[3], highest[3];
    for (int day = 0; day < DayCount; ++day) {
        QVariantMap point { { HistoryKey::Timestamp, first + qint64(day) * 86400 } };
        for (int s = 0; s < 3; ++s) {
            prices[s] = qBound(20.0, prices[s] + (random.bounded(200) - 100) / 50.0, 400.0);
            const double price = (s == 2 && day % 400 < 30) ? 0.0 : prices[s];
            point.insert(*keys[s], price);
            if (price > 0 && (lowest[s].isEmpty() || price < lowest[s].value(*keys[s]).toDouble()))
                lowest[s] = point;
            if (price > highest[s].value(*keys[s]).toDouble())
                highest[s] = point;
        }
        points << point;
    }
    return { { HistoryKey::PriceHistory, points }, { HistoryKey::Locale, "us" },
        { HistoryKey::PriceLowest, lowest[0] }, { HistoryKey::PriceHighest, highest[0] },
        { HistoryKey::NewLowest, lowest[1] }, { HistoryKey::NewHighest, highest[1] },
        { HistoryKey::UsedLowest, lowest[2] }, { HistoryKey::UsedHighest, highest[2] } };
}

struct Chart
{
    QWidget host;
    WidgetPriceHistoryContent* content = new WidgetPriceHistoryContent(&host);
    QImage image { ChartSize, QImage::Format_ARGB32_Premultiplied };
    PaintCounter counter;

    Chart()
    {
        DayClock clock;
        clock.SetTimeZone(QTimeZone("UTC"));
        clock.SetTimeSource([] { return Today; });
        content->SetClock(clock);
        host.resize(ChartSize);
        content->SetData(TenYearHistory());
        content->installEventFilter(&counter);
        Paint();
    }

    void Paint() { content->render(&image); }
};

void BM_PaintTenYears(benchmark::State& state)
{
    Chart chart;
    for (auto _ : state)
        chart.Paint();
    benchmark::DoNotOptimize(chart.image.constBits());
}

// The path of a real mouse move: the event, then the repaint it asked for,
// drawn by the shown window's backing store.
void BM_HoverRepaint(benchmark::State& state)
{
    Chart chart;
    chart.host.show();
    QApplication::processEvents();
    const QRect plot = chart.content->PlotRect();
    int step = 0;
    const int paintsBefore = chart.counter.paints;
    for (auto _ : state) {
        const QPointF position(plot.left() + (step++ * 37) % plot.width(), plot.center().y());
        QMouseEvent move(QEvent::MouseMove, position, chart.content->mapToGlobal(position),
            Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(chart.content, &move);
        QApplication::processEvents();
    }
    if (chart.counter.paints - paintsBefore < int(state.iterations()) / 2)
        state.SkipWithError("mouse moves did not repaint the chart");
}

BENCHMARK(BM_PaintTenYears)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_HoverRepaint)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Global::InitializeSettings();
    benchmark::Initialize(&argc, argv);
    TargetReporter reporter("step (3,650 days)",
        { { "BM_PaintTenYears", "paint ten years into 1000x400", 8.0, 16.0 },
            { "BM_HoverRepaint", "repaint after a mouse move", 4.0, 16.0 } });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
