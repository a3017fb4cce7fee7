#pragma once

#include <QEvent>
#include <QMap>
#include <QObject>
#include <QString>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

// A benchmark's target: the label of its row in the closing table, the
// target in milliseconds and, for work that ends in a painted window, the
// frame budget it is shown beside (0: none).
struct BenchmarkTarget
{
    const char* function;
    const char* label;
    double targetMs;
    double frameMs = 0;
};

// Google Benchmark's console output, then a closing table: each figure's
// real and CPU time beside its target. The machine may be shared, and real
// time then includes waiting for a core, so the verdict goes by CPU time.
// Figures measured outside the benchmark loop are printed after the table.
class TargetReporter : public benchmark::ConsoleReporter
{
public:
    TargetReporter(const char* heading, std::vector<BenchmarkTarget> targets,
        std::function<void()> printFurtherFigures = {})
        : m_heading(heading)
        , m_targets(std::move(targets))
        , m_printFurtherFigures(std::move(printFurtherFigures))
    {
    }

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
        std::printf("\n%-44s %9s %9s %10s %9s %10s\n", m_heading, "real ms", "cpu ms", "target ms",
            "frame ms", "cpu/target");
        for (const BenchmarkTarget& target : m_targets) {
            const auto measured = m_measuredMs.find(QString::fromLatin1(target.function));
            if (measured == m_measuredMs.cend())
                continue;
            const double cpu = measured->second;
            const char* verdict = cpu <= target.targetMs ? "within" : "OVER";
            if (target.targetMs <= 0)
                std::printf(
                    "%-44s %9.2f %9.2f %10s %9s\n", target.label, measured->first, cpu, "-", "-");
            else if (target.frameMs > 0)
                std::printf("%-44s %9.2f %9.2f %10.1f %9.1f %9.2fx %s\n", target.label,
                    measured->first, cpu, target.targetMs, target.frameMs, cpu / target.targetMs,
                    verdict);
            else
                std::printf("%-44s %9.2f %9.2f %10.1f %9s %9.2fx %s\n", target.label,
                    measured->first, cpu, target.targetMs, "-", cpu / target.targetMs, verdict);
        }
        if (m_printFurtherFigures)
            m_printFurtherFigures();
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

    const char* m_heading;
    std::vector<BenchmarkTarget> m_targets;
    std::function<void()> m_printFurtherFigures;
    QMap<QString, QPair<double, double>> m_measuredMs; // real, cpu
};

// Counts the paint events of a widget, so a benchmark can tell that the
// repaint it timed really happened.
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
