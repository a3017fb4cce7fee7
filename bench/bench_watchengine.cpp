// The watch engine of the main window with 1,000 watched items in six
// stores: one evaluation pass with ten alerts (written back and stored), one
// edit reaching the file beside a save of the whole list, and a price poll
// of every item against the simulated store, with the longest time the
// event loop went without running a 5 ms heartbeat. Each figure is printed
// beside its target at the end.
#include "AmazonConnector.h"
#include "DatabaseManager.h"
#include "Global.h"
#include "MainWindow.h"
#include "SimulatedStore.h"
#include "WatchListWidget.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

constexpr int ItemCount = 1000;
constexpr int Hits = 10;

struct Figures
{
    double checkMs = 0;
    double editMs = 0;
    double wholeListMs = 0;
    double stallMs = 0;
    double pollMs = 0;
    QStringList requests; // per store: sent/expected
};
Figures g_figures;

QString Asin(int i)
{
    return QStringLiteral("BN%1").arg(i, 8, 10, QLatin1Char('0'));
}

QString Locale(int i)
{
    return Global::AmazonLocale.at(i % Global::AmazonLocale.size());
}

// ceil(items of the store / 10): the requests a poll of the store takes.
int ExpectedRequests(int store)
{
    const int stores = int(Global::AmazonLocale.size());
    const int items = ItemCount / stores + (store < ItemCount % stores ? 1 : 0);
    return (items + 9) / 10;
}

// A window on a profile of its own, its list refreshed from the store.
class Engine
{
public:
    Engine()
    {
        for (int i = 0; i < ItemCount; ++i) {
            SimulatedItem item;
            item.asin = Asin(i);
            item.title = QStringLiteral("Bench item %1").arg(i);
            item.price = 1000 + i;
            item.stock = 50;
            item.images = SimulatedItem::ImageStyle::None;
            m_store.addItem(Locale(i), item);
        }
        m_store.listen();
        qputenv("http_proxy", m_store.proxyUrl().toUtf8());
        QVariantList watched;
        for (int i = 0; i < ItemCount; ++i)
            watched << QVariantMap { { "ASIN", Asin(i) }, { "Locale", Locale(i) },
                { "WatchCondition", 2 }, { "PriceLine", 0.01 }, { "ActionWebPage", false } };
        QDir().mkpath(QFileInfo(DatabaseManager::DefaultFilePath()).path());
        DatabaseManager(DatabaseManager::DefaultFilePath()).SaveItems(watched);
        QSettings().setValue(
            "MainWindow/Options", QVariantMap { { "NoPopup", true }, { "PlaySound", false } });
        window = std::make_unique<MainWindow>();
        connector()->SetPause(0);
        WaitFor([this] { return Priced() == ItemCount; });
    }

    AmazonConnector* connector() const { return window->findChild<AmazonConnector*>(); }
    WatchListWidget* list() const { return window->findChild<WatchListWidget*>(); }
    SimulatedStore& store() { return m_store; }

    int Priced() const
    {
        int priced = 0;
        for (const QVariant& item : list()->GetItems())
            priced += item.toMap().contains("Price");
        return priced;
    }

    template <typename Condition>
    static void WaitFor(Condition done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    std::unique_ptr<MainWindow> window;

private:
    SimulatedStore m_store;
};

// Made by the first benchmark, gone before the application object.
std::unique_ptr<Engine> g_engine;

Engine& TheEngine()
{
    if (!g_engine)
        g_engine = std::make_unique<Engine>();
    return *g_engine;
}

void BM_CheckItemsTenHits(benchmark::State& state)
{
    Engine& engine = TheEngine();
    const QVariantList items = engine.list()->GetItems();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int hit = 0; hit < Hits; ++hit) {
            QVariantMap record = items.at((round * Hits + hit * 97) % ItemCount).toMap();
            record.insert("WatchCondition", 1);
            engine.list()->UpdateItem(record, false);
        }
        ++round;
        state.ResumeTiming();
        engine.window->CheckItems();
    }
}

void BM_OneEditToTheFile(benchmark::State& state)
{
    Engine& engine = TheEngine();
    QVariantMap record = engine.list()->GetItems().at(ItemCount / 2).toMap();
    double line = 0.01;
    for (auto _ : state) {
        line += 0.01;
        record.insert("PriceLine", line);
        engine.list()->UpdateItem(record, false);
    }
}

void BM_WholeListToTheFile(benchmark::State& state)
{
    Engine& engine = TheEngine();
    const QVariantList items = engine.list()->GetItems();
    auto* database = engine.window->findChild<DatabaseManager*>();
    for (auto _ : state)
        database->SaveItems(items);
}

// One poll of all 1,000 items, timed by hand: the requests go out one after
// the other, each answered before the next leaves.
void BM_PollOfAllItems(benchmark::State& state)
{
    Engine& engine = TheEngine();
    QVariantList all = engine.list()->GetItems();
    for (QVariant& item : all) {
        QVariantMap record = item.toMap();
        record.insert("WatchCondition", 2);
        record.insert("PriceLine", 0.01);
        item = record;
    }
    engine.list()->UpdateItems(all);
    for (auto _ : state) {
        engine.store().clearRequestLog();
        int replies = 0;
        const QMetaObject::Connection counting = QObject::connect(engine.connector(),
            &AmazonConnector::ProductInfoAvailable, engine.connector(), [&replies] { ++replies; });
        QElapsedTimer sinceBeat;
        qint64 longestGap = 0;
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        QObject::connect(&heartbeat, &QTimer::timeout, &heartbeat,
            [&] { longestGap = std::max(longestGap, sinceBeat.restart()); });
        QElapsedTimer clock;
        clock.start();
        sinceBeat.start();
        heartbeat.start(5);
        engine.window->DoCheckNow();
        int expected = 0;
        for (int store = 0; store < Global::AmazonLocale.size(); ++store)
            expected += ExpectedRequests(store);
        Engine::WaitFor([&] { return replies == expected; });
        state.SetIterationTime(clock.elapsed() / 1000.0);
        heartbeat.stop();
        QObject::disconnect(counting);
        g_figures.stallMs = std::max(g_figures.stallMs, double(longestGap));
        g_figures.pollMs = double(clock.elapsed());
    }
    // Requests of each store against ceil(items of the store / 10).
    g_figures.requests.clear();
    for (int store = 0; store < Global::AmazonLocale.size(); ++store) {
        const QString locale = Global::AmazonLocale.at(store);
        int sent = 0;
        for (const SimulatedRequest& request : engine.store().requestLog())
            sent += request.locale == locale;
        g_figures.requests
            << QStringLiteral("%1 %2/%3").arg(locale).arg(sent).arg(ExpectedRequests(store));
    }
}

BENCHMARK(BM_CheckItemsTenHits)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_OneEditToTheFile)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_WholeListToTheFile)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PollOfAllItems)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// The console output, then each figure beside its target.
class TargetReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const double ms = run.GetAdjustedRealTime();
            const std::string& name = run.run_name.function_name;
            if (name == "BM_CheckItemsTenHits")
                g_figures.checkMs = ms;
            else if (name == "BM_OneEditToTheFile")
                g_figures.editMs = ms;
            else if (name == "BM_WholeListToTheFile")
                g_figures.wholeListMs = ms;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto row = [](const char* figure, double measured, double target) {
            std::printf("%-46s %10.2f %10.1f  %s\n", figure, measured, target,
                measured <= target ? "within" : "OVER");
        };
        std::printf("\n%-46s %10s %10s\n", "figure (1,000 watched items)", "measured", "target");
        row("evaluation pass, 10 alerts, write-back (ms)", g_figures.checkMs, 20.0);
        row("one edit reaches the file (ms)", g_figures.editMs, 2.0);
        std::printf("%-46s %10.2f %10s\n", "whole list to the file, for reference (ms)",
            g_figures.wholeListMs, "-");
        row("longest event-loop stall during a poll (ms)", g_figures.stallMs, 50.0);
        std::printf("%-46s %10.0f %10s\n", "whole poll, pause 0 (ms)", g_figures.pollMs, "-");
        std::printf("%-46s %s\n", "requests per store, sent/ceil(n/10)",
            qPrintable(g_figures.requests.join(", ")));
    }
};

} // namespace

int main(int argc, char** argv)
{
    // A profile of its own: settings, data, cache and temporary files, no
    // desktop session bus.
    QTemporaryDir profile;
    for (const char* name :
        { "HOME", "TMPDIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME" })
        qputenv(name, (profile.path() + "/" + QString(name).toLower()).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "");
    qunsetenv("no_proxy");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("PricewardenBench"));
    Global::Initialize();
    benchmark::Initialize(&argc, argv);
    TargetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    g_engine.reset();
    return 0;
}
