// Painting the price chart of a ten-year daily history (three series) into
// a 1000 x 400 image, and the repaint that follows a mouse move, with the
// target and the frame budget beside each figure.

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

// Counts the chart's paint events, so that a benchmark can tell that the
// repaint it times really happened.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

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

struct Target
{
    double targetMs;
    double frameMs;
};

const QMap<QString, Target>& Targets()
{
    static const QMap<QString, Target> targets { { "BM_PaintTenYears", { 8.0, 16.0 } },
        { "BM_HoverRepaint", { 4.0, 16.0 } } };
    return targets;
}

// The console output plus a closing table of figures against targets. The
// machine may be shared: real time then includes waiting for a core, so the
// verdict goes by the CPU time the paint itself took, and both are shown.
class TargetReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const double toMs = UnitToMs(run.time_unit);
            m_measuredMs.insert(QString::fromStdString(run.run_name.function_name),
                { run.GetAdjustedRealTime() * toMs, run.GetAdjustedCPUTime() * toMs });
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-18s %9s %8s %10s %9s %7s\n", "step (3,650 days)", "real ms", "cpu ms",
            "target ms", "frame ms", "cpu/target");
        for (auto it = m_measuredMs.cbegin(); it != m_measuredMs.cend(); ++it) {
            const Target target = Targets().value(it.key());
            const double cpu = it.value().second;
            std::printf("%-18s %9.2f %8.2f %10.1f %9.1f %7.2fx %s\n", qPrintable(it.key()),
                it.value().first, cpu, target.targetMs, target.frameMs, cpu / target.targetMs,
                cpu <= target.targetMs      ? "within"
                    : cpu <= target.frameMs ? "OVER target"
                                            : "OVER");
        }
    }

private:
    static double UnitToMs(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kNanosecond:
            return 1e-6;
        case benchmark::kMicrosecond:
            return 1e-3;
        case benchmark::kMillisecond:
            return 1.0;
        default:
            return 1000.0;
        }
    }

    QMap<QString, QPair<double, double>> m_measuredMs; // real, cpu
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Global::InitializeSettings();
    benchmark::Initialize(&argc, argv);
    TargetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
