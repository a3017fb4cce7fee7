// Selecting an item whose history holds 3,650 daily points: from the click
// on its row to the product sheet, the legend (highest, lowest, averages)
// and the chart painted on the Price History tab, beside the target and
// the frame budget. The window runs in a scratch profile against the
// simulated store, as the user would see it.

#include "BenchmarkTargets.h"
#include "DatabaseManager.h"
#include "Global.h"
#include "MainWindow.h"
#include "SimulatedStore.h"
#include "WatchListWidget.h"
#include "WidgetPriceHistory.h"
#include "WidgetPriceHistoryContent.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int DayCount = 3650;
// Two items of the simulated catalogue, so each click really changes the
// selection.
const char* const Asins[] = { "B0PW000001", "B0PW000002" };

// Ten years of a point a day for both items, every price moving daily.
void SeedProfile()
{
    DatabaseManager database(DatabaseManager::DefaultFilePath());
    QSqlDatabase connection = QSqlDatabase::database(database.ConnectionName());
    connection.transaction();
    QSqlQuery insert(connection);
    insert.prepare("INSERT INTO pricehistory (ASIN, Locale, Price, PriceNew, PriceUsed, "
                   "Timestamp) VALUES (?, 'us', ?, ?, ?, ?)");
    const qint64 first = QDateTime::currentSecsSinceEpoch() - qint64(DayCount) * 86400;
    QVariantList items;
    for (const char* asin : Asins) {
        for (int day = 0; day < DayCount; ++day) {
            insert.addBindValue(QString::fromLatin1(asin));
            insert.addBindValue(20.0 + day % 97 / 10.0);
            insert.addBindValue(day % 400 < 30 ? 0.0 : 18.0 + day % 53 / 10.0);
            insert.addBindValue(9.0 + day % 31 / 10.0);
            insert.addBindValue(first + qint64(day) * 86400);
            insert.exec();
        }
        items << QVariantMap { { "ASIN", asin }, { "Locale", "us" }, { "WatchCondition", 2 },
            { "Title", asin } };
    }
    connection.commit();
    database.SaveItems(items);
}

// Receives the pages the window would open, so none reaches a browser.
class UrlSink : public QObject
{
    Q_OBJECT

public slots:
    void Open(const QUrl&) { }
};

void BM_SelectTenYearItem(benchmark::State& state)
{
    UrlSink sink;
    QDesktopServices::setUrlHandler("http", &sink, "Open");
    QDesktopServices::setUrlHandler("https", &sink, "Open");
    SimulatedStore store;
    store.listen();
    qputenv("http_proxy", store.proxyUrl().toUtf8());
    SeedProfile();
    MainWindow window;
    window.resize(1000, 700);
    window.show();
    window.findChild<QTabWidget*>("tabWidget")->setCurrentIndex(1);
    auto* list = window.findChild<WatchListWidget*>("treeWidgetWatchList");
    // The start-up look-up of both items is answered before timing starts.
    if (!QTest::qWaitFor([&] { return store.requestCount() >= 1; }, 10000)) {
        state.SkipWithError("the window did not look its items up");
        return;
    }
    QTest::qWait(500);
    PaintCounter counter;
    window.findChild<WidgetPriceHistory*>("widgetPriceHistory")
        ->Content()
        ->installEventFilter(&counter);

    int click = 0;
    for (auto _ : state) {
        QTreeWidgetItem* row = list->topLevelItem(click++ % 2);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
        QApplication::processEvents();
    }
    if (counter.paints < int(state.iterations()) / 2)
        state.SkipWithError("selecting did not repaint the chart");
    window.hide();
    QDesktopServices::unsetUrlHandler("http");
    QDesktopServices::unsetUrlHandler("https");
}

BENCHMARK(BM_SelectTenYearItem)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    // A profile of its own: nothing of the user's settings, data or cache.
    QTemporaryDir profile;
    for (const char* name : { "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
             "XDG_RUNTIME_DIR", "TMPDIR" })
        qputenv(name, profile.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("no_proxy");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Pricewarden");
    QCoreApplication::setApplicationName("Pricewarden");
    Global::Initialize();
    benchmark::Initialize(&argc, argv);
    TargetReporter reporter(
        "step (3,650 days)", { { "BM_SelectTenYearItem", "click to pane and chart", 30.0, 16.0 } });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

#include "bench_detailpane.moc"
