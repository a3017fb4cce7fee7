// Merging a 1,000-item refresh into the watch list and sorting 1,000 rows,
// with the time each step may take beside the measured figure.

#include "BenchmarkTargets.h"
#include "Global.h"
#include "WatchListWidget.h"

#include <QApplication>
#include <QHeaderView>
#include <QMap>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int ItemCount = 1000;

const QStringList Articles { "", "The ", "A ", "An ", "the ", "" };
const QStringList Words { "Matrix", "apple", "Tale", "zebra", "Kettle", "lamp", "Monitor", "cable",
    "Theory", "Anne", "router", "Blender", "drill", "Camera", "Eclair" };

QString TitleFor(QRandomGenerator& random)
{
    QString title = Articles.at(random.bounded(Articles.size()));
    for (int word = 0; word < 4; ++word)
        title += Words.at(random.bounded(Words.size())) + QLatin1Char(' ');
    return title.trimmed();
}

QString Formatted(const QString& locale, double amount)
{
    return Global::CurrencyString.value(locale) + QString::number(amount, 'f', 2);
}

// The full records of a start-up refresh: titles, prices, availability.
QVariantList FullRecords()
{
    QRandomGenerator random(1234);
    QVariantList records;
    for (int i = 0; i < ItemCount; ++i) {
        const QString locale = Global::AmazonLocale.at(i % Global::AmazonLocale.size());
        const double price = random.bounded(100000) / 100.0;
        const QString asin = QStringLiteral("B%1").arg(i, 9, 10, QLatin1Char('0'));
        records << QVariantMap { { "ASIN", asin }, { "Locale", locale },
            { "Title", TitleFor(random) }, { "Price", price },
            { "FormattedPrice", Formatted(locale, price) }, { "LowestNewPrice", price * 0.9 },
            { "FormattedLowestNewPrice", Formatted(locale, price * 0.9) },
            { "LowestUsedPrice", price * 0.5 },
            { "FormattedLowestUsedPrice", Formatted(locale, price * 0.5) },
            { "Availability", "Usually ships in 24 hours" }, { "InStock", true },
            { "DetailPageURL", "http://www.amazon.com/gp/product/" + asin },
            { "WatchCondition", i % 3 }, { "PriceLine", price * 0.8 },
            { "ActionEmail", i % 2 == 0 } };
    }
    return records;
}

// A price-only poll of the same items with new prices.
QVariantList PriceRecords(int round)
{
    QRandomGenerator random(round + 1);
    QVariantList records;
    for (int i = 0; i < ItemCount; ++i) {
        const QString locale = Global::AmazonLocale.at(i % Global::AmazonLocale.size());
        const double price = random.bounded(100000) / 100.0;
        records << QVariantMap { { "ASIN", QStringLiteral("B%1").arg(i, 9, 10, QLatin1Char('0')) },
            { "Locale", locale }, { "Price", price },
            { "FormattedPrice", Formatted(locale, price) }, { "LowestNewPrice", 0.0 },
            { "FormattedLowestNewPrice", QString() }, { "LowestUsedPrice", price * 0.5 },
            { "FormattedLowestUsedPrice", Formatted(locale, price * 0.5) },
            { "Availability", "In Stock" }, { "InStock", true } };
    }
    return records;
}

// A visible list, as in the main window, so the refresh includes the view's
// own work (pending sort, layout) done when control returns to the loop.
std::unique_ptr<WatchListWidget> ShownList()
{
    auto list = std::make_unique<WatchListWidget>();
    list->resize(1000, 600);
    list->show();
    QApplication::processEvents();
    return list;
}

void BM_RefreshIntoEmptyList(benchmark::State& state)
{
    const QVariantList records = FullRecords();
    for (auto _ : state) {
        state.PauseTiming();
        auto list = ShownList();
        state.ResumeTiming();
        list->UpdateItems(records);
        QApplication::processEvents();
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}

void BM_RefreshExistingRows(benchmark::State& state)
{
    auto list = ShownList();
    list->UpdateItems(FullRecords());
    QApplication::processEvents();
    const QVariantList polls[] = { PriceRecords(1), PriceRecords(2) };
    int round = 0;
    for (auto _ : state) {
        list->UpdateItems(polls[round++ % 2]);
        QApplication::processEvents();
    }
}

void SortBy(benchmark::State& state, const char* header, const char* shuffleHeader)
{
    auto list = ShownList();
    list->UpdateItems(FullRecords());
    QApplication::processEvents();
    const int column = COLUMN_ID.value(QLatin1String(header));
    const int shuffleColumn = COLUMN_ID.value(QLatin1String(shuffleHeader));
    for (auto _ : state) {
        state.PauseTiming();
        list->sortItems(shuffleColumn, Qt::AscendingOrder);
        state.ResumeTiming();
        list->sortItems(column, Qt::AscendingOrder);
    }
}

void BM_SortByItemName(benchmark::State& state)
{
    SortBy(state, "Item Name", "Price");
}

void BM_SortByPrice(benchmark::State& state)
{
    SortBy(state, "Price", "Item Name");
}

BENCHMARK(BM_RefreshIntoEmptyList)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_RefreshExistingRows)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SortByItemName)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SortByPrice)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Global::InitializeSettings();
    benchmark::Initialize(&argc, argv);
    TargetReporter reporter("step (1,000 rows)",
        { { "BM_RefreshIntoEmptyList", "refresh into an empty list", 150.0 },
            { "BM_RefreshExistingRows", "price refresh of existing rows", 150.0 },
            { "BM_SortByItemName", "sort by \"Item Name\"", 50.0 },
            { "BM_SortByPrice", "sort by \"Price\"", 50.0 } });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
