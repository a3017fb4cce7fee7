#include "DatabaseManager.h"
#include "DialogAbout.h"
#include "DownloadManager.h"
#include "Global.h"
#include "MainWindow.h"
#include "ModalAnswer.h"
#include "ProductSheet.h"
#include "ScratchEnvironment.h"
#include "ServiceManager.h"
#include "SimulatedStore.h"
#include "UserPrompt.h"
#include "WatchListWidget.h"
#include "WidgetPriceHistory.h"
#include "WidgetPriceHistoryContent.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>
#include <memory>

// Receives the pages the window opens in the browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls << url; }
};

// The detail pane of the main window against the simulated store: the
// product sheet with its image, the legend and the chart of the selected
// item, the CSV export, the about box and the new-version notice.
class TestDetailPane : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { m_window.reset(); }

    void selectionFillsSheetLegendAndChart();
    void imageRefreshesOnlyTheItemOnShow_data();
    void imageRefreshesOnlyTheItemOnShow();
    void storedPricesRefreshChartAndLegend();
    void csvExport_data();
    void csvExport();
    void versionNotice_data();
    void versionNotice();

private:
    void CreateWindow();
    template <typename T>
    T* Child(const char* name) const
    {
        return m_window->findChild<T*>(QString::fromLatin1(name));
    }
    QString Text(const char* label) const { return Child<QLabel>(label)->text(); }
    QString Day(int daysAgo) const
    {
        return QDate::currentDate().addDays(-daysAgo).toString(Qt::ISODate);
    }

    ScratchEnvironment m_scratch;
    SimulatedStore m_store;
    UrlCatcher m_urls;
    QList<UserPrompt::Prompt> m_prompts;
    std::unique_ptr<MainWindow> m_window;
};

void TestDetailPane::initTestCase()
{
    QVERIFY(Global::Initialize());
    Global::TempDir = m_scratch.filePath(QStringLiteral("pw_cache"));
    QVERIFY(QDir().mkpath(Global::TempDir));
    QVERIFY(m_store.listen());
    qputenv("http_proxy", m_store.proxyUrl().toUtf8());
    qunsetenv("no_proxy");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_urls, "Open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_urls, "Open");
    UserPrompt::SetAnswerer([this](const UserPrompt::Prompt& prompt) {
        m_prompts << prompt;
        return QMessageBox::Ok;
    });
}

// Two watched items of the US store; the first was seen 40 and 10 days ago.
// The window's look-up at start adds today's point from the store.
void TestDetailPane::init()
{
    QSettings().clear();
    QDir data(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QVERIFY(data.removeRecursively() && data.mkpath("."));
    QDir(Global::TempDir).removeRecursively();
    QDir().mkpath(Global::TempDir);
    m_urls.urls.clear();
    m_prompts.clear();
    DatabaseManager database(DatabaseManager::DefaultFilePath());
    QDateTime moment;
    database.SetClock([&moment] { return moment; });
    const QList<QPair<int, QList<double>>> seen { { 40, { 25, 21, 0 } }, { 10, { 22, 0, 0 } } };
    for (const auto& [daysAgo, prices] : seen) {
        moment = QDateTime(QDate::currentDate().addDays(-daysAgo), QTime(12, 0));
        database.UpdatePrice({ { "ASIN", "B0PW000001" }, { "Locale", "us" }, { "Price", prices[0] },
            { "LowestNewPrice", prices[1] }, { "LowestUsedPrice", prices[2] } });
    }
    QVariantList items;
    for (const char* asin : { "B0PW000001", "B0PW000002" })
        items << QVariantMap { { "ASIN", asin }, { "Locale", "us" }, { "WatchCondition", 2 } };
    database.SaveItems(items);
}

void TestDetailPane::CreateWindow()
{
    m_window = std::make_unique<MainWindow>();
    auto* list = Child<WatchListWidget>("treeWidgetWatchList");
    QTRY_VERIFY(!list->GetItems().value(1).toMap().value("Title").toString().isEmpty());
    QVERIFY(list->SetCurrentItem("B0PW000001", "us"));
}

void TestDetailPane::selectionFillsSheetLegendAndChart()
{
    CreateWindow();
    const QString image
        = DownloadManager::GetSaveFileName(QUrl(m_store.imageUrl("B0PW000001", "medium")));
    auto* sheet = Child<QTextBrowser>("textBrowserDetail");
    QTRY_VERIFY(QFile::exists(image));
    QVERIFY(sheet->toHtml().contains("Stainless Steel Kitchen Scale"));
    QVERIFY(!sheet->document()
                 ->resource(QTextDocument::ImageResource, QUrl::fromLocalFile(image))
                 .isNull());
    QCOMPARE(Text("labelAmazonHighest"), "<b>$25.00</b> (" + Day(40) + ")");
    QCOMPARE(Text("labelAmazonLowest"), "<b>$19.99</b> (" + Day(0) + ")");
    QCOMPARE(Text("labelUsedHighest"), "<b>$12.50</b> (" + Day(0) + ")");
    QVERIFY(Child<QLabel>("labelAmazonAverage")
                ->toolTip()
                .contains("last 30 days: $23.83 (30 days counted)"));
    const auto* chart = Child<WidgetPriceHistory>("widgetPriceHistory")->Content();
    QCOMPARE(
        chart->GetPriceByDate(QDate::currentDate().addDays(-40)).value("Price").toDouble(), 25.0);

    // The other item has no used offers: its used labels are empty.
    QVERIFY(Child<WatchListWidget>("treeWidgetWatchList")->SetCurrentItem("B0PW000002", "us"));
    QCOMPARE(Text("labelUsedHighest"), QString());
    QCOMPARE(Text("labelUsedAverage"), QString());
    QVERIFY(Text("labelAmazonHighest").startsWith("<b>$14.50</b>"));
}

void TestDetailPane::imageRefreshesOnlyTheItemOnShow_data()
{
    QTest::addColumn<QString>("downloaded");
    QTest::addColumn<bool>("removeShown");
    QTest::addColumn<bool>("refreshed");
    QTest::newRow("the item on show") << "B0PW000001" << false << true;
    QTest::newRow("another item") << "B0PW000002" << false << false;
    QTest::newRow("the item just removed") << "B0PW000001" << true << false;
}

// A late image of an item no longer on show must not replace the sheet of
// the item that is.
void TestDetailPane::imageRefreshesOnlyTheItemOnShow()
{
    QFETCH(QString, downloaded);
    QFETCH(bool, removeShown);
    QFETCH(bool, refreshed);
    CreateWindow();
    auto* list = Child<WatchListWidget>("treeWidgetWatchList");
    if (removeShown)
        list->RemoveItem(list->GetCurrentItemData());
    auto* sheet = Child<QTextBrowser>("textBrowserDetail");
    const QString before = sheet->toHtml();
    QSignalSpy changes(sheet, &QTextEdit::textChanged);
    m_window->OnImageDownloaded(
        DownloadManager::GetSaveFileName(QUrl(m_store.imageUrl(downloaded, "medium"))));
    QCOMPARE(changes.isEmpty(), !refreshed);
    QCOMPARE(sheet->toHtml(), before);
}

// Prices stored for the item on show reach its chart and its legend.
void TestDetailPane::storedPricesRefreshChartAndLegend()
{
    CreateWindow();
    m_window->findChild<DatabaseManager*>()->UpdatePrice(
        { { "ASIN", "B0PW000001" }, { "Locale", "us" }, { "Price", 15.0 },
            { "LowestNewPrice", 18.99 }, { "LowestUsedPrice", 12.5 } });
    QTRY_COMPARE(Text("labelAmazonLowest"), "<b>$15.00</b> (" + Day(0) + ")");
    const auto* chart = Child<WidgetPriceHistory>("widgetPriceHistory")->Content();
    QCOMPARE(chart->GetPriceByDate(QDate::currentDate()).value("Price").toDouble(), 15.0);
}

void TestDetailPane::csvExport_data()
{
    QTest::addColumn<QString>("file"); // relative to the scratch directory; empty: cancelled
    QTest::addColumn<bool>("written");
    QTest::newRow("saved") << "export.csv" << true;
    QTest::newRow("cancelled") << "" << false;
    QTest::newRow("folder missing") << "missing/export.csv" << false;
}

void TestDetailPane::csvExport()
{
    QFETCH(QString, file);
    QFETCH(bool, written);
    CreateWindow();
    QString suggested;
    m_window->SetSaveFileChooser([&](const QString& name) {
        suggested = name;
        return file.isEmpty() ? QString() : m_scratch.filePath(file);
    });
    Child<QPushButton>("pushButtonExportCsv")->click();
    QVERIFY(suggested.endsWith("B0PW000001-us.csv"));
    QFile saved(m_scratch.filePath(file));
    QCOMPARE(saved.open(QIODevice::ReadOnly), written);
    if (written) {
        QCOMPARE(saved.readAll(),
            QString("Date,Price (USD),New (USD),Used (USD)\r\n%1,25.00,21.00,\r\n%2,22.00,,\r\n"
                    "%3,19.99,18.99,12.50\r\n")
                .arg(Day(40), Day(10), Day(0))
                .toUtf8());
    }
    QCOMPARE(m_prompts.size(), int(!written && !file.isEmpty()));
}

void TestDetailPane::versionNotice_data()
{
    QTest::addColumn<QString>("latest");
    QTest::addColumn<qint64>("shownAgo"); // seconds; 0: never
    QTest::addColumn<bool>("download");
    QTest::addColumn<bool>("shown");
    const qint64 day = 86400;
    QTest::newRow("newer, never shown, download") << "9.0" << qint64(0) << true << true;
    QTest::newRow("newer, two days ago, cancel") << "9.0" << 2 * day << false << true;
    QTest::newRow("newer, an hour ago") << "9.0" << qint64(3600) << true << false;
    QTest::newRow("newer, stamped days ahead") << "9.0" << -3 * day << true << true;
    QTest::newRow("the running one") << Global::VersionString << qint64(0) << true << false;
}

// The check at start answers through the simulated vendor service; the
// notice offers this platform's page and is stamped once answered.
void TestDetailPane::versionNotice()
{
    QFETCH(QString, latest);
    QFETCH(qint64, shownAgo);
    QFETCH(bool, download);
    QFETCH(bool, shown);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (shownAgo != 0)
        QSettings().setValue("General/LastUpdateCheck", now - shownAgo);
    m_store.setVersionInfo({ latest, "https://example.org/all", "https://example.org/mac",
        "https://example.org/linux", "<p>Notes</p>" });
    bool asked = false;
    QObject answering; // a notice never shown leaves no answer behind
    WhenModalShown(&answering, [&](QDialog* dialog) {
        asked = true;
        download ? dialog->accept() : dialog->reject();
    });
    m_window = std::make_unique<MainWindow>();
    QSignalSpy answers(m_window->findChild<ServiceManager*>(QString(), Qt::FindDirectChildrenOnly),
        &ServiceManager::VersionInfoAvailable);
    QTRY_COMPARE(answers.count(), 1);
    QCOMPARE(asked, shown);
    QCOMPARE(m_urls.urls,
        shown && download ? QList<QUrl> { QUrl("https://example.org/linux") } : QList<QUrl>());
    const qint64 stored = QSettings().value("General/LastUpdateCheck").toLongLong();
    if (shown)
        QVERIFY(stored >= now);
    else
        QCOMPARE(stored, shownAgo == 0 ? 0 : now - shownAgo);

    // The about box makes a check of its own and says what it found.
    Child<QAction>("actionAbout")->trigger();
    auto* about = m_window->findChild<DialogAbout*>();
    QVERIFY(about->isVisible());
    QTRY_VERIFY(about->findChild<QLabel*>("labelNewVersion")
                    ->text()
                    .contains(latest == Global::VersionString ? "up to date" : "9.0"));
}

QTEST_MAIN(TestDetailPane)
#include "tst_detailpane.moc"
