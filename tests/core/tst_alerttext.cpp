#include "AlertText.h"
#include "ItemRecordKeys.h"

#include <QTest>

// The alert window's paragraph for one item.
class TestAlertText : public QObject
{
    Q_OBJECT

private slots:
    void paragraph_data();
    void paragraph();
};

void TestAlertText::paragraph_data()
{
    QTest::addColumn<QVariantMap>("item");
    QTest::addColumn<QString>("expected");
    const QString page = QStringLiteral("https://www.amazon.de/dp/B0PW000001");
    const QString link
        = QStringLiteral("<b><a href=\"https://www.amazon.de/dp/B0PW000001\">Mug</a></b>");
    const QString stock = QStringLiteral(
        "<p>On 2011-05-01 01:34:56 pm:<br />%1: Item is <b><font color=\"#00aa00\">in "
        "stock</font></b>!</p>");
    const QString drop
        = QStringLiteral("<p>On 2011-05-01 01:34:56 pm:<br />%1: Item price has dropped to <font "
                         "color=\"#00aa00\"><b>%2</b></font>!</p>");
    const auto item = [&](const QVariant& condition, const QString& title, const QString& url,
                          const QString& price) {
        QVariantMap record { { ItemKey::Title, title }, { ItemKey::DetailPageUrl, url },
            { ItemKey::FormattedAlertPrice, price } };
        if (condition.isValid())
            record.insert(ItemKey::WatchCondition, condition);
        return record;
    };

    QTest::newRow("in stock") << item(WatchCondition::InStock, "Mug", page, "EUR 9,99")
                              << stock.arg(link);
    QTest::newRow("price drop") << item(WatchCondition::PriceDrop, "Mug", page, "EUR 9,99")
                                << drop.arg(link, "EUR 9,99");
    QTest::newRow("condition 0") << item(0, "Mug", page, "EUR 9,99") << drop.arg(link, "EUR 9,99");
    QTest::newRow("no condition, no price")
        << item(QVariant(), "Mug", page, QString()) << drop.arg(link, QString());
    QTest::newRow("markup in title and price")
        << item(WatchCondition::PriceDrop, "<img src=x> & \"Co\"", page, "<b>1</b>")
        << drop.arg("<b><a href=\"" + page + "\">&lt;img src=x&gt; &amp; &quot;Co&quot;</a></b>",
               "&lt;b&gt;1&lt;/b&gt;");
    QTest::newRow("placeholders in title stay text")
        << item(WatchCondition::PriceDrop, "50%3 off %1", page, "$1")
        << drop.arg("<b><a href=\"" + page + "\">50%3 off %1</a></b>", "$1");
    QTest::newRow("local file link is no link") << item(WatchCondition::InStock, "Mug",
        "file:///etc/passwd", "") << stock.arg("<b>Mug</b>");
    QTest::newRow("quote in link cannot leave the attribute")
        << item(WatchCondition::InStock, "Mug", "http://x/\" onclick=\"y", "")
        << stock.arg("<b><a href=\"http://x/&quot; onclick=&quot;y\">Mug</a></b>");
}

void TestAlertText::paragraph()
{
    QFETCH(QVariantMap, item);
    QFETCH(QString, expected);
    const QDateTime when(QDate(2011, 5, 1), QTime(13, 34, 56));
    QCOMPARE(AlertText::Paragraph(item, when), expected);
}

QTEST_GUILESS_MAIN(TestAlertText)
#include "tst_alerttext.moc"
