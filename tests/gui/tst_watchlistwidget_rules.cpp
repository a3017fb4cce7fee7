#include "Global.h"
#include "WatchListCells.h"
#include "WatchListRecord.h"
#include "WatchListSortRules.h"

#include <QTest>
#include <QTextDocument>

namespace {

QVariantMap Priced(const QString& locale, const QVariant& price)
{
    QVariantMap record { { "ASIN", "B000000001" }, { "Locale", locale } };
    if (price.isValid())
        record.insert("Price", price);
    return record;
}

} // namespace

class TestWatchListRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void watchText_data();
    void watchText();
    void reactionText_data();
    void reactionText();
    void watchIcon_data();
    void watchIcon();

    void newRowDefaults_data();
    void newRowDefaults();
    void storedPartDiffers_data();
    void storedPartDiffers();
    void identity_data();
    void identity();
    void readFromDatabase();

    void amountOrder_data();
    void amountOrder();
    void amountKeyOfColumn_data();
    void amountKeyOfColumn();
    void textOrder_data();
    void textOrder();

    void toolTipShowsTextLiterally_data();
    void toolTipShowsTextLiterally();
    void productPageUrl_data();
    void productPageUrl();
};

void TestWatchListRules::initTestCase()
{
    Global::InitializeSettings();
}

void TestWatchListRules::watchText_data()
{
    QTest::addColumn<QVariantMap>("record");
    QTest::addColumn<QString>("expected");

    QTest::newRow("not watched") << QVariantMap { { "WatchCondition", 0 } } << "Do not watch";
    QTest::newRow("condition missing") << QVariantMap {} << "Do not watch";
    QTest::newRow("unknown condition") << QVariantMap { { "WatchCondition", 7 } } << "Do not watch";
    QTest::newRow("in stock") << QVariantMap { { "WatchCondition", 1 } } << "Item in stock";
    QTest::newRow("condition as text from the file")
        << QVariantMap { { "WatchCondition", "1" } } << "Item in stock";
    QTest::newRow("price drop us") << QVariantMap { { "WatchCondition", 2 }, { "PriceLine", 12.5 },
        { "Locale", "us" } } << "Price drop to $12.50";
    QTest::newRow("price drop de keeps the currency's blank")
        << QVariantMap { { "WatchCondition", 2 }, { "PriceLine", 1299 }, { "Locale", "de" } }
        << "Price drop to EUR 1299.00";
    QTest::newRow("price drop jp") << QVariantMap { { "WatchCondition", 2 }, { "PriceLine", 980.0 },
        { "Locale", "jp" } } << QString::fromUtf8("Price drop to \uFFE5980.00");
    QTest::newRow("price drop unknown store")
        << QVariantMap { { "WatchCondition", 2 }, { "PriceLine", 3.333 }, { "Locale", "xx" } }
        << "Price drop to 3.33";
    QTest::newRow("price drop without a line") << QVariantMap { { "WatchCondition", 2 },
        { "Locale", "uk" } } << QString::fromUtf8("Price drop to \u00A30.00");
}

void TestWatchListRules::watchText()
{
    QFETCH(QVariantMap, record);
    QFETCH(QString, expected);
    QCOMPARE(WatchListCells::WatchText(record), expected);
}

void TestWatchListRules::reactionText_data()
{
    QTest::addColumn<QVariantMap>("record");
    QTest::addColumn<QString>("expected");

    const QVariantMap everything { { "ActionEmail", true }, { "ActionWebPage", true },
        { "ActionCreateCart", true }, { "ActionAlert", true } };
    QVariantMap unwatched = everything;
    unwatched.insert("WatchCondition", 0);
    QTest::newRow("not watched is empty") << unwatched << "";

    QTest::newRow("alert only, even when switched off")
        << QVariantMap { { "WatchCondition", 1 }, { "ActionAlert", false } } << "Show alert";
    QVariantMap all = everything;
    all.insert("WatchCondition", 2);
    QTest::newRow("all in fixed order")
        << all << "Show alert, Email me, Bring up webpage, Take me to check out";
    QTest::newRow("web page only") << QVariantMap { { "WatchCondition", 2 },
        { "ActionWebPage", true } } << "Show alert, Bring up webpage";
    QTest::newRow("flags stored as integers") << QVariantMap { { "WatchCondition", 1 },
        { "ActionEmail", 1 }, { "ActionCreateCart", 1 }, { "ActionWebPage", 0 } }
                                              << "Show alert, Email me, Take me to check out";
}

void TestWatchListRules::reactionText()
{
    QFETCH(QVariantMap, record);
    QFETCH(QString, expected);
    QCOMPARE(WatchListCells::ReactionText(record), expected);
}

void TestWatchListRules::watchIcon_data()
{
    QTest::addColumn<QVariantMap>("record");
    QTest::addColumn<QString>("expected");
    QTest::newRow("not watched") << QVariantMap { { "WatchCondition", 0 } } << ":/blank16.png";
    QTest::newRow("missing") << QVariantMap {} << ":/blank16.png";
    QTest::newRow("in stock") << QVariantMap { { "WatchCondition", 1 } } << ":/watch16.png";
    QTest::newRow("price drop") << QVariantMap { { "WatchCondition", 2 } } << ":/watch16.png";
}

void TestWatchListRules::watchIcon()
{
    QFETCH(QVariantMap, record);
    QFETCH(QString, expected);
    QCOMPARE(WatchListCells::WatchIconPath(record), expected);
    QCOMPARE(WatchListCells::FlagIconPath("uk"), QString(":/flag_uk.png"));
}

void TestWatchListRules::newRowDefaults_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("WatchCondition") << "WatchCondition" << QVariant(0);
    QTest::newRow("ThirdParty") << "ThirdParty" << QVariant(false);
    QTest::newRow("ThirdPartyUsed") << "ThirdPartyUsed" << QVariant(false);
    QTest::newRow("ActionAlert") << "ActionAlert" << QVariant(true);
    QTest::newRow("ActionWebPage") << "ActionWebPage" << QVariant(true);
    QTest::newRow("ActionEmail") << "ActionEmail" << QVariant(false);
    QTest::newRow("ActionCreateCart") << "ActionCreateCart" << QVariant(false);
    QTest::newRow("Quantity") << "Quantity" << QVariant(1);
}

void TestWatchListRules::newRowDefaults()
{
    QFETCH(QString, key);
    QFETCH(QVariant, expected);

    const QVariantMap bare { { "ASIN", "B0" }, { "Locale", "us" } };
    const QVariantMap completed = WatchListRecord::WithNewRowDefaults(bare);
    QCOMPARE(completed.value(key), expected);
    QCOMPARE(completed.value("ASIN"), QVariant("B0"));

    // A value the map carries wins over the default.
    QVariantMap given = bare;
    given.insert(key, QVariant("given"));
    QCOMPARE(WatchListRecord::WithNewRowDefaults(given).value(key), QVariant("given"));
}

void TestWatchListRules::storedPartDiffers_data()
{
    QTest::addColumn<QVariantMap>("before");
    QTest::addColumn<QVariantMap>("after");
    QTest::addColumn<bool>("differs");

    const QVariantMap base { { "ASIN", "B0" }, { "Locale", "us" }, { "Title", "Thing" },
        { "WatchCondition", 2 }, { "PriceLine", 10.0 }, { "ThirdParty", false },
        { "ThirdPartyUsed", false }, { "ActionEmail", false }, { "ActionWebPage", true },
        { "ActionCreateCart", false }, { "Quantity", 1 }, { "Price", 12.0 } };

    QTest::newRow("identical") << base << base << false;
    QVariantMap prices = base;
    prices.insert("Price", 8.0);
    prices.insert("FormattedPrice", "$8.00");
    prices.insert("Availability", "In stock");
    QTest::newRow("only product data") << base << prices << false;
    QVariantMap fromFile = base;
    fromFile.insert("ActionWebPage", 1);
    fromFile.insert("WatchCondition", "2");
    QTest::newRow("same values in file types") << base << fromFile << false;

    const QList<QPair<QString, QVariant>> edits { { "WatchCondition", 0 }, { "PriceLine", 9.5 },
        { "ThirdParty", true }, { "ThirdPartyUsed", true }, { "ActionEmail", true },
        { "ActionWebPage", false }, { "ActionCreateCart", true }, { "Quantity", 3 },
        { "Title", "Other" } };
    for (const auto& [key, value] : edits) {
        QVariantMap edited = base;
        edited.insert(key, value);
        QTest::newRow(qPrintable("changed " + key)) << base << edited << true;
    }
}

void TestWatchListRules::storedPartDiffers()
{
    QFETCH(QVariantMap, before);
    QFETCH(QVariantMap, after);
    QFETCH(bool, differs);
    QCOMPARE(WatchListRecord::StoredPartDiffers(before, after), differs);
}

void TestWatchListRules::identity_data()
{
    QTest::addColumn<QVariantMap>("record");
    QTest::addColumn<bool>("complete");
    QTest::newRow("both") << QVariantMap { { "ASIN", "B0" }, { "Locale", "us" } } << true;
    QTest::newRow("no ASIN") << QVariantMap { { "Locale", "us" } } << false;
    QTest::newRow("empty ASIN from a reply")
        << QVariantMap { { "ASIN", "" }, { "Locale", "us" } } << false;
    QTest::newRow("no Locale") << QVariantMap { { "ASIN", "B0" } } << false;
}

void TestWatchListRules::readFromDatabase()
{
    QVERIFY(WatchListRecord::IsReadFromDatabase({ { "ASIN", "B0" }, { "id", QVariant() } }));
    QVERIFY(!WatchListRecord::IsReadFromDatabase({ { "ASIN", "B0" }, { "Locale", "us" } }));
}

void TestWatchListRules::identity()
{
    QFETCH(QVariantMap, record);
    QFETCH(bool, complete);
    QCOMPARE(WatchListRecord::HasIdentity(record), complete);
}

void TestWatchListRules::amountOrder_data()
{
    QTest::addColumn<QVariantMap>("a");
    QTest::addColumn<QVariantMap>("b");
    QTest::addColumn<bool>("aFirst");
    QTest::addColumn<bool>("bFirst");

    QTest::newRow("thousands beat hundreds in EUR")
        << Priced("de", 999.0) << Priced("de", 1299.0) << true << false;
    QTest::newRow("thousands beat hundreds in USD")
        << Priced("us", 999.0) << Priced("us", 1299.0) << true << false;
    QTest::newRow("missing price first") << Priced("us", {}) << Priced("us", 0.01) << true << false;
    QTest::newRow("zero price first") << Priced("us", 0.0) << Priced("us", 0.01) << true << false;
    QTest::newRow("missing and zero equal")
        << Priced("us", {}) << Priced("us", 0.0) << false << false;
    QTest::newRow("equal amounts") << Priced("uk", 5.0) << Priced("uk", 5.0) << false << false;
    QTest::newRow("currency groups before amounts: $ before EUR")
        << Priced("us", 5000.0) << Priced("de", 1.0) << true << false;
    QTest::newRow("CDN$ before EUR whatever the amount")
        << Priced("ca", 900.0) << Priced("fr", 2.0) << true << false;
    QTest::newRow("de and fr share a currency")
        << Priced("fr", 10.0) << Priced("de", 20.0) << true << false;
    QTest::newRow("unknown store groups first")
        << Priced("xx", 100.0) << Priced("us", 1.0) << true << false;
    QTest::newRow("amount stored as text")
        << Priced("us", "19.99") << Priced("us", 2.0) << false << true;
}

void TestWatchListRules::amountOrder()
{
    QFETCH(QVariantMap, a);
    QFETCH(QVariantMap, b);
    QFETCH(bool, aFirst);
    QFETCH(bool, bFirst);
    QCOMPARE(WatchListSort::AmountLessThan(a, b, "Price"), aFirst);
    QCOMPARE(WatchListSort::AmountLessThan(b, a, "Price"), bFirst);
}

void TestWatchListRules::amountKeyOfColumn_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("key");
    QTest::newRow("Price") << "Price"
                           << "Price";
    QTest::newRow("New") << "New"
                         << "LowestNewPrice";
    QTest::newRow("Used") << "Used"
                          << "LowestUsedPrice";
    QTest::newRow("Item Name") << "Item Name"
                               << "";
    QTest::newRow("What to Watch") << "What to Watch"
                                   << "";
}

void TestWatchListRules::amountKeyOfColumn()
{
    QFETCH(QString, header);
    QFETCH(QString, key);
    QCOMPARE(WatchListSort::AmountKeyOfColumn(header), key);
}

void TestWatchListRules::textOrder_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("aFirst");
    QTest::addColumn<bool>("bFirst");

    QTest::newRow("article ignored") << "The Matrix"
                                     << "Lion" << false << true;
    QTest::newRow("case ignored") << "apple"
                                  << "Banana" << true << false;
    QTest::newRow("same text other case") << "APPLE"
                                          << "apple" << false << false;
    QTest::newRow("empty first") << ""
                                 << "a" << true << false;
    QTest::newRow("accented letters after plain ones")
        << QString::fromUtf8("\u00C9clair") << "Zebra" << false << true;
    QTest::newRow("Anne keeps its letters") << "Anne"
                                            << "Mango" << true << false;
    QTest::newRow("The Thing sorts as thing") << "The Thing"
                                              << "Stone" << false << true;
}

void TestWatchListRules::textOrder()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, aFirst);
    QFETCH(bool, bFirst);
    QCOMPARE(WatchListSort::TextLessThan(a, b), aFirst);
    QCOMPARE(WatchListSort::TextLessThan(b, a), bFirst);
}

void TestWatchListRules::toolTipShowsTextLiterally_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("markup") << "<b>Bold</b> <img src='http://evil.example/x.png'>";
    QTest::newRow("ampersand and entities") << "Salt & Pepper &amp; more";
    QTest::newRow("quotes") << "12\" \"LCD\" 'screen'";
    QTest::newRow("plain") << "Plain title";
}

void TestWatchListRules::toolTipShowsTextLiterally()
{
    QFETCH(QString, text);
    const QString toolTip = WatchListCells::PlainTextToolTip(text);
    QVERIFY(Qt::mightBeRichText(toolTip));
    QVERIFY(!toolTip.contains("<b>"));
    QVERIFY(!toolTip.contains("<img"));
    QTextDocument document;
    document.setHtml(toolTip);
    QCOMPARE(document.toPlainText(), text);
    QVERIFY(WatchListCells::PlainTextToolTip(QString()).isEmpty());
}

void TestWatchListRules::productPageUrl_data()
{
    QTest::addColumn<QVariantMap>("record");
    QTest::addColumn<QUrl>("expected");

    QTest::newRow("product page") << QVariantMap {
        { "DetailPageURL", "http://www.amazon.com/gp/product/B000000001?tag=pricewarden-20" }
    } << QUrl("http://www.amazon.com/gp/product/B000000001?tag=pricewarden-20");
    QTest::newRow("already encoded stays as it is")
        << QVariantMap { { "DetailPageURL", "http://www.amazon.de/gp/product/B%2F1?tag=a%20b" } }
        << QUrl::fromEncoded("http://www.amazon.de/gp/product/B%2F1?tag=a%20b");
    QTest::newRow("https") << QVariantMap { { "DetailPageURL", "https://www.amazon.fr/x" } }
                           << QUrl("https://www.amazon.fr/x");
    QTest::newRow("no key") << QVariantMap {} << QUrl();
    QTest::newRow("local file") << QVariantMap { { "DetailPageURL", "file:///etc/passwd" } }
                                << QUrl();
    QTest::newRow("script") << QVariantMap { { "DetailPageURL", "javascript:alert(1)" } } << QUrl();
    QTest::newRow("no host") << QVariantMap { { "DetailPageURL", "http:///gp/product" } } << QUrl();
}

void TestWatchListRules::productPageUrl()
{
    QFETCH(QVariantMap, record);
    QFETCH(QUrl, expected);
    QCOMPARE(WatchListCells::ProductPageUrl(record), expected);
}

QTEST_MAIN(TestWatchListRules)
#include "tst_watchlistwidget_rules.moc"
