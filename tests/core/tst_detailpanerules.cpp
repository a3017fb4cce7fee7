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
    QTest::addColumn<QString>("expected");
    const QString fields = "%1|B0PW000001|https://www.amazon.com/dp/B0PW000001|Mug|%2|$9.99|$8.50|"
                           "$4.00|$12.00|%3";
    const QString image = "file:///cache%20dir/images.example.B0PW000001.medium.png";
    const QString freeShipping
        = "Eligible for <b><font color=\"#00cc00\">FREE Super Saver Shipping</font></b>";
    const QString inStock = fields.arg(image, "Usually ships in 24 hours", freeShipping);
    QTest::newRow("in stock") << QVariantMap() << inStock;
    QTest::newRow("not in stock, whatever the text")
        << QVariantMap { { ItemKey::InStock, false } }
        << fields.arg(image, "Not available", freeShipping);
    QTest::newRow("not eligible") << QVariantMap { { ItemKey::IsEligibleForSuperSaverShipping,
        "0" } } << fields.arg(image, "Usually ships in 24 hours", "");
    QTest::newRow("no flag") << QVariantMap { { ItemKey::IsEligibleForSuperSaverShipping, "" } }
                             << fields.arg(image, "Usually ships in 24 hours", "");
    QTest::newRow("no image") << QVariantMap { { ItemKey::MediumImage, "" } }
                              << fields.arg("", "Usually ships in 24 hours", freeShipping);
    QTest::newRow("network texts escaped")
        << QVariantMap { { ItemKey::Title, "<img src=x>&" },
               { ItemKey::Availability, "<b>now</b>" }, { ItemKey::FormattedPrice, "\"$1\"" } }
        << QString(inStock)
               .replace("|Mug|", "|&lt;img src=x&gt;&amp;|")
               .replace("Usually ships in 24 hours", "&lt;b&gt;now&lt;/b&gt;")
               .replace("|$9.99|", "|&quot;$1&quot;|");
    QTest::newRow("places in a title stay text")
        << QVariantMap { { ItemKey::Title, "$PRICE$ off $TITLE$" } }
        << QString(inStock).replace("|Mug|", "|$PRICE$ off $TITLE$|");
    QTest::newRow("no link but to the web")
        << QVariantMap { { ItemKey::DetailPageUrl, "file:///etc/passwd" } }
        << QString(inStock).replace("https://www.amazon.com/dp/B0PW000001", "");
    QTest::newRow("quote in the page address")
        << QVariantMap { { ItemKey::DetailPageUrl, "https://a.example/?q=\"x\" onclick=\"y" } }
        << QString(inStock).replace("https://www.amazon.com/dp/B0PW000001",
               "https://a.example/?q=&quot;x&quot; onclick=&quot;y");
}

void TestDetailPaneRules::productSheet()
{
    QFETCH(QVariantMap, changes);
    QFETCH(QString, expected);
    QVariantMap item { { ItemKey::Asin, "B0PW000001" }, { ItemKey::Title, "Mug" },
        { ItemKey::MediumImage, "http://images.example/images/P/B0PW000001.medium.png" },
        { ItemKey::DetailPageUrl, "https://www.amazon.com/dp/B0PW000001" },
        { ItemKey::InStock, true }, { ItemKey::Availability, "Usually ships in 24 hours" },
        { ItemKey::FormattedPrice, "$9.99" }, { ItemKey::FormattedLowestNewPrice, "$8.50" },
        { ItemKey::FormattedLowestUsedPrice, "$4.00" }, { ItemKey::FormattedListPrice, "$12.00" },
        { ItemKey::IsEligibleForSuperSaverShipping, "1" } };
    item.insert(changes);
    const QString sheet = "$IMAGE$|$ASIN$|$DETAILPAGE$|$TITLE$|$AVAILABILITY$|$PRICE$|"
                          "$THIRDPARTYPRICE$|$USEDPRICE$|$LISTPRICE$|$FREESHIPPING$";
    QCOMPARE(ProductSheet::Html(sheet, item), expected);
    QCOMPARE(ProductSheet::ImageFile(item).isEmpty(), expected.startsWith('|'));
}

void TestDetailPaneRules::legend_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("series");
    QTest::addColumn<bool>("usedOffers");
    QTest::addColumn<QStringList>("expected"); // highest, lowest, averages, tool tip
    const auto averages = [](const char* d30, const char* d90, const char* d365) {
        return QString("%1 \u00B7 %2 \u00B7 %3").arg(d30, d90, d365);
    };
    const QString tip = "Average price of the days with an offer:\n";
    QTest::newRow("us, two prices")
        << "us" << 0 << true
        << QStringList { "<b>$20.00</b> (2025-11-30)", "<b>$10.00</b> (2026-02-28)",
               averages("<b>$16.33</b>", "<b>$18.78</b>", "<b>$18.91</b>"),
               tip
                   + "last 30 days: $16.33 (30 days counted)\nlast 90 days: $18.78 (90 days "
                     "counted)\nlast 365 days: $18.91 (101 days counted)" };
    QTest::newRow("yen without decimals")
        << "jp" << 0 << true
        << QStringList { "<b>\uFFE520</b> (2025-11-30)", "<b>\uFFE510</b> (2026-02-28)",
               averages("<b>\uFFE516</b>", "<b>\uFFE519</b>", "<b>\uFFE519</b>"),
               tip
                   + "last 30 days: \uFFE516 (30 days counted)\nlast 90 days: \uFFE519 (90 days "
                     "counted)\nlast 365 days: \uFFE519 (101 days counted)" };
    QTest::newRow("only an old offer")
        << "ca" << 2 << true
        << QStringList { "<b>CDN$ 8.00</b> (2025-08-22)", "<b>CDN$ 8.00</b> (2025-08-22)",
               averages("\u2013", "\u2013", "<b>CDN$&nbsp;8.00</b>"),
               tip
                   + "last 30 days: no offer\nlast 90 days: no offer\nlast 365 days: CDN$ 8.00 "
                     "(100 days counted)" };
    QTest::newRow("never an offer") << "us" << 2 << false << QStringList { "", "", "", "" };
}

// Three days seen at noon in Berlin, 200, 100 and 10 days before today.
void TestDetailPaneRules::legend()
{
    QFETCH(QString, locale);
    QFETCH(int, series);
    QFETCH(bool, usedOffers);
    QFETCH(QStringList, expected);
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
    QCOMPARE(QStringList({ texts.strHighest, texts.strLowest, texts.strAverages,
                 texts.strAveragesToolTip }),
        expected);
}

QTEST_GUILESS_MAIN(TestDetailPaneRules)
#include "tst_detailpanerules.moc"
