#include "Global.h"
#include "ProductLink.h"

#include <QTest>

// What the add bar makes of pasted text: the store named by the address and
// the ASIN inside it.
class TestProductLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Global::InitializeSettings(); }
    void readsStoreAndAsin_data();
    void readsStoreAndAsin();
};

namespace {

void Row(const char* name, const char* input, const char* locale, const char* asin)
{
    QTest::newRow(name) << QString::fromUtf8(input) << QString::fromUtf8(locale)
                        << QString::fromUtf8(asin);
}

} // namespace

void TestProductLink::readsStoreAndAsin_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("asin");
    Row("bare ASIN", "B00005N5PF", "", "B00005N5PF");
    Row("bare ASIN, blanks around", "  \tB00005N5PF \n", "", "B00005N5PF");
    Row("bare ASIN, lower case kept", "b00005n5pf", "", "b00005n5pf");
    Row("not an ASIN sent as typed", "  hello world ", "", "hello world");
    Row("empty", "", "", "");
    Row("blanks only", "   ", "", "");
    Row("us /dp/", "http://www.amazon.com/dp/B00005N5PF", "us", "B00005N5PF");
    Row("ca /dp/ with title path", "https://www.amazon.ca/Some-Title/dp/B00CANADA1/ref=sr_1_1",
        "ca", "B00CANADA1");
    Row("uk /dp/ path and query", "http://www.amazon.co.uk/dp/B00UKUKUK1/ref=x?ie=UTF8&qid=1", "uk",
        "B00UKUKUK1");
    Row("de /gp/product/", "http://www.amazon.de/gp/product/B00GERMAN1", "de", "B00GERMAN1");
    Row("fr /gp/offer-listing/", "http://www.amazon.fr/gp/offer-listing/B00FRANCE1/ref=dp_olp",
        "fr", "B00FRANCE1");
    Row("jp /asin/", "http://www.amazon.co.jp/exec/obidos/asin/B00JAPAN01", "jp", "B00JAPAN01");
    Row("query right after ASIN", "http://www.amazon.com/dp/B00QUERY01?tag=x", "us", "B00QUERY01");
    // A link to a part of the page (copied after following a "reviews" link).
    Row("fragment right after ASIN", "https://www.amazon.com/dp/B00FRAGM01#customerReviews", "us",
        "B00FRAGM01");
    Row("marker in capitals", "http://www.amazon.com/DP/B00CAPS001/", "us", "B00CAPS001");
    Row("mixed-case marker", "http://www.amazon.de/Gp/Product/B00MIXED01", "de", "B00MIXED01");
    Row("host in capitals", "HTTP://WWW.AMAZON.CO.UK/dp/B00UPPER01", "uk", "B00UPPER01");
    Row("offer-listing wins over dp",
        "http://www.amazon.com/dp/B00DPDPDP1/gp/offer-listing/B00OFFER01", "us", "B00OFFER01");
    Row("ends with its marker", "http://www.amazon.com/dp/", "us", "");
    Row("URL with blanks around", "  http://www.amazon.fr/dp/B00SPACE01  ", "fr", "B00SPACE01");
    Row("unknown host", "http://www.example.org/dp/B00OTHER01", "", "B00OTHER01");
    // The comparison looks at the host's last characters only, "com" first.
    Row("any .com host is the US store", "http://shop.example.com/dp/B00COM0001", "us",
        "B00COM0001");
    Row("no scheme, no host", "www.amazon.co.uk/dp/B00NOSCHEM", "", "B00NOSCHEM");
}

void TestProductLink::readsStoreAndAsin()
{
    QFETCH(QString, input);
    QFETCH(QString, locale);
    QFETCH(QString, asin);
    QCOMPARE(ProductLink::DetectLocale(input), locale);
    QCOMPARE(ProductLink::ExtractAsin(input), asin);
}

QTEST_GUILESS_MAIN(TestProductLink)
#include "tst_productlink.moc"
