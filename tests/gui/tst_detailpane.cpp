#include "DatabaseManager.h"
#include "DayClock.h"
#include "DialogAbout.h"
#include "DownloadManager.h"
#include "Global.h"
#include "ItemRecordKeys.h"
#include "MainWindow.h"
#include "ModalAnswer.h"
#include "PriceStatistics.h"
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
#include <QTimeZone>
#include <memory>

// The detail pane: the texts of its product sheet and legend as plain
// functions, then the main window against the simulated store with the
// selected item's sheet, legend and chart, its CSV export, a late image, the
// new-version notice and the about action.
class TestDetailPane : public QObject
{
    Q_OBJECT

public slots:
    void Open(const QUrl& url) { m_urls << url; }

private slots:
    void initTestCase();
    void init();
    void cleanup() { m_window.reset(); }

    void productSheet_data();
    void productSheet();
    void legend_data();
    void legend();
    void selectedItemFillsThePane();
    void lateImageOfAnItemNotOnShow_data();
    void lateImageOfAnItemNotOnShow();
    void versionNoticeAndAboutBox_data();
    void versionNoticeAndAboutBox();

private:
    void CreateWindow();
    template <typename T>
    T* Child(const char* name) const
    {
        return m_window->findChild<T*>(QString::fromLatin1(name));
    }
    QString Text(const char* label) const { return Child<QLabel>(label)->text(); }
    static QString Day(int daysAgo)
    {
        return QDate::currentDate().addDays(-daysAgo).toString(Qt::ISODate);
    }

    ScratchEnvironment m_scratch;
    SimulatedStore m_store;
    QList<QUrl> m_urls;
    QStringList m_prompts;
    std::unique_ptr<MainWindow> m_window;
};

void TestDetailPane::initTestCase()
{
    QVERIFY(Global::Initialize());
    Global::TempDir = m_scratch.filePath("pw cache");
    QVERIFY(m_store.listen());
    qputenv("http_proxy", m_store.proxyUrl().toUtf8());
    qunsetenv("no_proxy");
    QDesktopServices::setUrlHandler("https", this, "Open");
    UserPrompt::SetAnswerer([this](const UserPrompt::Prompt& prompt) {
        m_prompts << prompt.text;
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
    QVERIFY(QDir(Global::TempDir).removeRecursively() && QDir().mkpath(Global::TempDir));
    m_urls.clear();
    m_prompts.clear();
    DatabaseManager database(DatabaseManager::DefaultFilePath());
    QDateTime moment;
    database.SetClock([&moment] { return moment; });
    for (const auto& [daysAgo, prices] :
        { std::pair(40, QList<double> { 25, 21, 0 }), std::pair(10, QList<double> { 22, 0, 0 }) }) {
        moment = QDateTime(QDate::currentDate().addDays(-daysAgo), QTime(12, 0));
        database.UpdatePrice({ { "ASIN", "B0PW000001" }, { "Locale", "us" }, { "Price", prices[0] },
            { "LowestNewPrice", prices[1] }, { "LowestUsedPrice", prices[2] } });
    }
    QVariantList items;
    for (const char* asin : { "B0PW000001", "B0PW000002" })
        items << QVariantMap { { "ASIN", asin }, { "Locale", "us" }, { "WatchCondition", 2 } };
    database.SaveItems(items);
}

void TestDetailPane::productSheet_data()
{
    QTest::addColumn<QVariantMap>("changes");
    QTest::addColumn<QString>("from"); // what changes in the sheet of the plain item
    QTest::addColumn<QString>("to");
    const auto row = [](const char* name, const QString& key, const QString& value,
                         const QString& from, const QString& to) {
        QTest::newRow(name) << QVariantMap { { key, value } } << from << to;
    };
    const QString page = "https://www.amazon.com/dp/B0PW000001";
    row("plain", ItemKey::Asin, "B0PW000001", "", "");
    row("not in stock, whatever the text", ItemKey::InStock, "false", "Usually ships in 24 hours",
        "Not available");
    row("shipping flag 0", ItemKey::IsEligibleForSuperSaverShipping, "0",
        "Eligible for <b><font color=\"#00cc00\">FREE Super Saver Shipping</font></b>", "");
    row("network texts escaped, places in them kept", ItemKey::Title, "<i>$PRICE$</i>&", "|Mug|",
        "|&lt;i&gt;$PRICE$&lt;/i&gt;&amp;|");
    row("no link but to the web", ItemKey::DetailPageUrl, "file:///etc/passwd", page, "");
    row("quote in the page address", ItemKey::DetailPageUrl, "https://a.example/?q=\"x\" a=\"",
        page, "https://a.example/?q=&quot;x&quot; a=&quot;");
}

void TestDetailPane::productSheet()
{
    QFETCH(QVariantMap, changes);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QVariantMap item { { ItemKey::Asin, "B0PW000001" }, { ItemKey::Title, "Mug" },
        { ItemKey::MediumImage, "http://images.example/images/P/B0PW000001.medium.png" },
        { ItemKey::DetailPageUrl, "https://www.amazon.com/dp/B0PW000001" },
        { ItemKey::InStock, true }, { ItemKey::Availability, "Usually ships in 24 hours" },
        { ItemKey::FormattedPrice, "$9.99" }, { ItemKey::FormattedLowestNewPrice, "$8.50" },
        { ItemKey::FormattedLowestUsedPrice, "$4.00" }, { ItemKey::FormattedListPrice, "$12.00" },
        { ItemKey::IsEligibleForSuperSaverShipping, "1" } };
    item.insert(changes);
    QString expected = "|B0PW000001|https://www.amazon.com/dp/B0PW000001|Mug|Usually ships in 24 "
                       "hours|$9.99|$8.50|$4.00|$12.00|Eligible for <b><font color=\"#00cc00\">"
                       "FREE Super Saver Shipping</font></b>";
    if (!from.isEmpty())
        expected.replace(from, to);
    // The cache directory's name has a blank, so the image address is encoded.
    expected.prepend(
        m_scratch.filePath("pw%20cache/images.example.B0PW000001.medium.png").prepend("file://"));
    QCOMPARE(ProductSheet::Html("$IMAGE$|$ASIN$|$DETAILPAGE$|$TITLE$|$AVAILABILITY$|$PRICE$|"
                                "$THIRDPARTYPRICE$|$USEDPRICE$|$LISTPRICE$|$FREESHIPPING$",
                 item),
        expected);
}

void TestDetailPane::legend_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("series");
    QTest::addColumn<bool>("usedOffers");
    QTest::addColumn<QString>("expected"); // highest|lowest|averages|tool tip of the averages
    QTest::newRow("yen without decimals, days without an offer left out")
        << "jp" << 0 << true
        << "<b>\uFFE520</b> (2025-11-30)|<b>\uFFE510</b> (2026-02-28)|<b>10</b> \u00B7 <b>17</b> "
           "\u00B7 <b>18</b>|Average price of the days with an offer:\nlast 30 days: \uFFE510 (11 "
           "days counted)\nlast 90 days: \uFFE517 (40 days counted)\nlast 365 days: \uFFE518 (51 "
           "days counted)";
    QTest::newRow("only an old offer")
        << "ca" << 2 << true
        << "<b>CDN$ 8.00</b> (2025-08-22)|<b>CDN$ 8.00</b> (2025-08-22)|\u2013 \u00B7 \u2013 "
           "\u00B7 <b>8.00</b>|Average price of the days with an offer:\nlast 30 days: no offer\n"
           "last 90 days: no offer\nlast 365 days: CDN$ 8.00 (100 days counted)";
    QTest::newRow("never an offer") << "us" << 2 << false << "|||";
}

// Days seen at noon in Berlin, 200, 100, 60 and 10 days before today: used
// offers on the first only, the Amazon price 20 on the second, none on the
// third, 10 on the last. Each price counts for the days it held, up to today.
void TestDetailPane::legend()
{
    QFETCH(QString, locale);
    QFETCH(int, series);
    QFETCH(bool, usedOffers);
    QFETCH(QString, expected);
    const QTimeZone berlin("Europe/Berlin");
    const QDateTime now(QDate(2026, 3, 10), QTime(9, 0), berlin);
    DayClock clock;
    clock.SetTimeZone(berlin);
    clock.SetTimeSource([now] { return now; });
    const auto point = [&](int daysAgo, double price, double priceUsed) {
        return QVariantMap {
            { HistoryKey::Price, price }, { HistoryKey::PriceUsed, priceUsed },
            { HistoryKey::Timestamp,
                QDateTime(now.date().addDays(-daysAgo), QTime(12, 0), berlin).toSecsSinceEpoch() }
        };
    };
    const QVariantMap old = point(200, 0, usedOffers ? 8 : 0);
    const QVariantMap high = point(100, 20, 0);
    const QVariantMap low = point(10, 10, 0);
    const QVariantMap history { { HistoryKey::Locale, locale },
        { HistoryKey::PriceHistory, QVariantList { old, high, point(60, 0, 0), low } },
        { HistoryKey::PriceHighest, high }, { HistoryKey::PriceLowest, low },
        { HistoryKey::UsedHighest, old }, { HistoryKey::UsedLowest, old } };
    const PriceStatistics::SeriesTexts texts = PriceStatistics::Texts(history, clock).at(series);
    QCOMPARE(QStringList(
                 { texts.strHighest, texts.strLowest, texts.strAverages, texts.strAveragesToolTip })
                 .join('|'),
        expected);
}

void TestDetailPane::CreateWindow()
{
    m_window = std::make_unique<MainWindow>();
    auto* list = Child<WatchListWidget>("treeWidgetWatchList");
    QTRY_VERIFY(!list->GetItems().value(1).toMap().value("Title").toString().isEmpty());
    QVERIFY(list->SetCurrentItem("B0PW000001", "us"));
}

void TestDetailPane::selectedItemFillsThePane()
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
    QVERIFY(Child<QLabel>("labelAmazonAverage")
                ->toolTip()
                .contains("last 30 days: $23.83 (30 days counted)"));

    // Prices stored for the item on show reach its chart and its legend.
    m_window->findChild<DatabaseManager*>()->UpdatePrice(
        { { "ASIN", "B0PW000001" }, { "Locale", "us" }, { "Price", 15.0 },
            { "LowestNewPrice", 18.99 }, { "LowestUsedPrice", 12.5 } });
    QTRY_COMPARE(Text("labelAmazonLowest"), "<b>$15.00</b> (" + Day(0) + ")");
    const auto* chart = Child<WidgetPriceHistory>("widgetPriceHistory")->Content();
    QCOMPARE(chart->GetPriceByDate(QDate::currentDate()).value("Price").toDouble(), 15.0);

    QStringList chosen;
    m_window->SetSaveFileChooser([&](const QString& suggested) {
        chosen << suggested;
        return m_scratch.filePath(chosen.size() == 1 ? "export.csv" : "missing/export.csv");
    });
    for (int i = 0; i < 2; ++i)
        Child<QPushButton>("pushButtonExportCsv")->click();
    QVERIFY(chosen.value(0).endsWith("/B0PW000001-us.csv"));
    QFile saved(m_scratch.filePath("export.csv"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(),
        QString("Date,Price (USD),New (USD),Used (USD)\r\n%1,25.00,21.00,\r\n%2,22.00,,\r\n"
                "%3,15.00,18.99,12.50\r\n")
            .arg(Day(40), Day(10), Day(0))
            .toUtf8());
    QCOMPARE(m_prompts.size(), 1); // the missing folder

    // The other item has no used offers: its used labels are empty.
    QVERIFY(Child<WatchListWidget>("treeWidgetWatchList")->SetCurrentItem("B0PW000002", "us"));
    QCOMPARE(Text("labelUsedHighest") + Text("labelUsedAverage"), QString());
    QVERIFY(Text("labelAmazonHighest").startsWith("<b>$14.50</b>"));
}

void TestDetailPane::lateImageOfAnItemNotOnShow_data()
{
    QTest::addColumn<QString>("downloaded");
    QTest::addColumn<bool>("removeShown");
    QTest::addColumn<bool>("refreshed");
    QTest::newRow("the item on show") << "B0PW000001" << false << true;
    QTest::newRow("another item") << "B0PW000002" << false << false;
    QTest::newRow("the item just removed") << "B0PW000001" << true << false;
}

void TestDetailPane::lateImageOfAnItemNotOnShow()
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

void TestDetailPane::versionNoticeAndAboutBox_data()
{
    QTest::addColumn<qint64>("shownAgo"); // seconds; 0: never
    QTest::addColumn<bool>("download");
    QTest::addColumn<bool>("shown");
    QTest::newRow("newer, never shown, download") << qint64(0) << true << true;
    QTest::newRow("newer, two days ago, cancel") << qint64(2 * 86400) << false << true;
    QTest::newRow("newer, an hour ago") << qint64(3600) << true << false;
}

// The check at start answers through the simulated vendor service; the
// notice offers this platform's page and is stamped once answered.
void TestDetailPane::versionNoticeAndAboutBox()
{
    QFETCH(qint64, shownAgo);
    QFETCH(bool, download);
    QFETCH(bool, shown);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (shownAgo != 0)
        QSettings().setValue("General/LastUpdateCheck", now - shownAgo);
    m_store.setVersionInfo({ "9.0", "https://example.org/all", "https://example.org/mac",
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
    QCOMPARE(m_urls.value(0), QUrl(shown && download ? "https://example.org/linux" : ""));
    const qint64 stored = QSettings().value("General/LastUpdateCheck").toLongLong();
    QVERIFY(shown ? stored >= now : stored == (shownAgo == 0 ? 0 : now - shownAgo));

    // What the about box finds is its own test's part.
    Child<QAction>("actionAbout")->trigger();
    QVERIFY(m_window->findChild<DialogAbout*>()->isVisible());
}

QTEST_MAIN(TestDetailPane)
#include "tst_detailpane.moc"
