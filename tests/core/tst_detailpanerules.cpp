#include "DayClock.h"
#include "Global.h"
#include "ItemRecordKeys.h"
#include "PriceStatistics.h"
#include "ProductSheet.h"

#include <QDir>
#include <QTest>
#include <QTimeZone>

// The texts of the detail pane as plain functions: the product sheet filled
// from a record off the network, and the legend of the price history.
class TestDetailPaneRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void productSheet_data();
    void productSheet();
    void legend_data();
    void legend();
};

void TestDetailPaneRules::initTestCase()
{
    Global::InitializeSettings();
    Global::TempDir = QStringLiteral("/cache dir");
}

void TestDetailPaneRules::productSheet_data()
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
    row("no image", ItemKey::MediumImage, "",
        "file:///cache%20dir/images.example.B0PW000001.medium.png", "");
    row("network texts escaped", ItemKey::Title, "<img src=x>&", "|Mug|",
        "|&lt;img src=x&gt;&amp;|");
    row("places in a title stay text", ItemKey::Title, "$PRICE$ off", "|Mug|", "|$PRICE$ off|");
    row("no link but to the web", ItemKey::DetailPageUrl, "file:///etc/passwd", page, "");
    row("quote in the page address", ItemKey::DetailPageUrl, "https://a.example/?q=\"x\" a=\"",
        page, "https://a.example/?q=&quot;x&quot; a=&quot;");
}

void TestDetailPaneRules::productSheet()
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
    QString expected = "file:///cache%20dir/images.example.B0PW000001.medium.png|B0PW000001|"
                       "https://www.amazon.com/dp/B0PW000001|Mug|Usually ships in 24 hours|"
                       "$9.99|$8.50|$4.00|$12.00|Eligible for <b><font color=\"#00cc00\">FREE "
                       "Super Saver Shipping</font></b>";
    if (!from.isEmpty())
        expected.replace(from, to);
    const QString sheet = "$IMAGE$|$ASIN$|$DETAILPAGE$|$TITLE$|$AVAILABILITY$|$PRICE$|"
                          "$THIRDPARTYPRICE$|$USEDPRICE$|$LISTPRICE$|$FREESHIPPING$";
    QCOMPARE(ProductSheet::Html(sheet, item), expected);
}

void TestDetailPaneRules::legend_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("series");
    QTest::addColumn<bool>("usedOffers");
    QTest::addColumn<QString>("expected"); // highest|lowest|averages
    QTest::addColumn<QString>("toolTip"); // of the averages; empty: not compared
    QTest::newRow("us, two prices") << "us" << 0 << true
                                    << "<b>$20.00</b> (2025-11-30)|<b>$10.00</b> (2026-02-28)|"
                                       "<b>16.33</b> \u00B7 <b>18.78</b> \u00B7 <b>18.91</b>"
                                    << "";
    QTest::newRow("yen without decimals")
        << "jp" << 0 << true
        << "<b>\uFFE520</b> (2025-11-30)|<b>\uFFE510</b> (2026-02-28)|"
           "<b>16</b> \u00B7 <b>19</b> \u00B7 <b>19</b>"
        << "";
    QTest::newRow("only an old offer")
        << "ca" << 2 << true
        << "<b>CDN$ 8.00</b> (2025-08-22)|<b>CDN$ 8.00</b> (2025-08-22)|"
           "\u2013 \u00B7 \u2013 \u00B7 <b>8.00</b>"
        << "Average price of the days with an offer:\nlast 30 days: no offer\nlast 90 days: no "
           "offer\nlast 365 days: CDN$ 8.00 (100 days counted)";
    QTest::newRow("never an offer") << "us" << 2 << false << "||"
                                    << "";
}

// Three days seen at noon in Berlin, 200, 100 and 10 days before today.
void TestDetailPaneRules::legend()
{
    QFETCH(QString, locale);
    QFETCH(int, series);
    QFETCH(bool, usedOffers);
    QFETCH(QString, expected);
    QFETCH(QString, toolTip);
    const QTimeZone berlin("Europe/Berlin");
    const QDateTime now(QDate(2026, 3, 10), QTime(9, 0), berlin);
    DayClock clock;
    clock.SetTimeZone(berlin);
    clock.SetTimeSource([now] { return now; });
    const auto point = [&](int daysAgo, double price, double priceNew, double priceUsed) {
        return QVariantMap {
            { HistoryKey::Timestamp,
                QDateTime(now.date().addDays(-daysAgo), QTime(12, 0), berlin).toSecsSinceEpoch() },
            { HistoryKey::Price, price }, { HistoryKey::PriceNew, priceNew },
            { HistoryKey::PriceUsed, priceUsed }
        };
    };
    const QVariantMap old = point(200, 0, 0, usedOffers ? 8 : 0);
    const QVariantMap high = point(100, 20, 15, 0);
    const QVariantMap low = point(10, 10, 0, 0);
    const QVariantMap history { { HistoryKey::Locale, locale },
        { HistoryKey::PriceHistory, QVariantList { old, high, low } },
        { HistoryKey::PriceHighest, high }, { HistoryKey::PriceLowest, low },
        { HistoryKey::NewHighest, high }, { HistoryKey::NewLowest, high },
        { HistoryKey::UsedHighest, old }, { HistoryKey::UsedLowest, old } };

    const PriceStatistics::SeriesTexts texts = PriceStatistics::Texts(history, clock).at(series);
    QCOMPARE(texts.strHighest + '|' + texts.strLowest + '|' + texts.strAverages, expected);
    if (!toolTip.isEmpty())
        QCOMPARE(texts.strAveragesToolTip, toolTip);
}

QTEST_GUILESS_MAIN(TestDetailPaneRules)
#include "tst_detailpanerules.moc"
