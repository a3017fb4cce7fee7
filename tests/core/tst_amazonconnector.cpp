// The product client: parsing and signing on canned data, the exact request
// line as it reaches a proxy, and the queue end to end against the simulated
// store, which stands in for the product API as this process's HTTP proxy.
#include "AmazonConnector.h"
#include "Global.h"
#include "ScratchEnvironment.h"
#include "SimulatedStoreSession.h"

#include <QDomDocument>
#include <QMessageAuthenticationCode>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <functional>
#include <memory>

namespace {

const QString Lookup = QStringLiteral("ItemLookup");
const QString Cart = QStringLiteral("CartCreate");
const QDateTime FixedTime(QDate(2026, 12, 5), QTime(12, 16, 8), Qt::UTC);

QStringList AsinsOf(const QVariantList& records)
{
    QStringList asins;
    for (const QVariant& record : records)
        asins << record.toMap().value(QStringLiteral("ASIN")).toString();
    return asins;
}

QStringList Texts(const QSignalSpy& spy)
{
    QStringList texts;
    for (const QList<QVariant>& arguments : spy)
        texts << arguments.at(0).toString();
    return texts;
}

QString Item(const QString& asin, const QString& body)
{
    return QStringLiteral("<Item><ASIN>%1</ASIN>%2</Item>").arg(asin, body);
}

QString Offers(const QString& amount, const QString& availability)
{
    return QStringLiteral("<Offers><Offer><OfferListing><OfferListingId>L-%1</OfferListingId>"
                          "<Price><Amount>%1</Amount><FormattedPrice>F%1</FormattedPrice></Price>"
                          "<Availability>%2</Availability>"
                          "<IsEligibleForSuperSaverShipping>1</IsEligibleForSuperSaverShipping>"
                          "</OfferListing></Offer></Offers>")
        .arg(amount, availability);
}

QByteArray LookupReply(
    const QString& items, const QString& request = "<Request><IsValid>True</IsValid></Request>")
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><ItemLookupResponse "
                          "xmlns=\"http://webservices.amazon.com/AWSECommerceService/2011-08-01\">"
                          "<Items>%1%2</Items></ItemLookupResponse>")
        .arg(request, items)
        .toUtf8();
}

// Written out independently of the client: HMAC-SHA-256 under the secret
// key, Base64, then "+", "/" and "=" percent-encoded.
QByteArray ExpectedSignature(const QString& host, const QByteArray& query)
{
    const QByteArray stringToSign = "GET\n" + host.toUtf8() + "\n/onca/xml\n" + query;
    return QMessageAuthenticationCode::hash(
        stringToSign, Global::SecretKeyString.toUtf8(), QCryptographicHash::Sha256)
        .toBase64()
        .replace("+", "%2B")
        .replace("/", "%2F")
        .replace("=", "%3D");
}

// The raw head of the first request a fresh connector sends through a bare
// proxy: the store logs decoded parameters, which cannot show the encoding.
QByteArray FirstRequestHead(const std::function<void(AmazonConnector&)>& send)
{
    QTcpServer proxy;
    if (!proxy.listen(QHostAddress::LocalHost))
        return {};
    const QByteArray previous = qgetenv("http_proxy");
    qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(proxy.serverPort()));
    QByteArray head;
    {
        AmazonConnector connector;
        connector.SetClock([] { return FixedTime; });
        send(connector);
        QTcpSocket* socket = nullptr;
        const auto headArrived = [&] {
            socket = socket ? socket : proxy.nextPendingConnection();
            head += socket ? socket->readAll() : QByteArray();
            return head.contains("\r\n\r\n");
        };
        if (!QTest::qWaitFor(headArrived, 5000))
            head.clear();
    }
    qputenv("http_proxy", previous);
    return head;
}

} // namespace

class TestAmazonConnector : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstChildText();
    void itemRecord_data();
    void itemRecord();
    void replyOutcome_data();
    void replyOutcome();
    void onlyAskedItemsRead();
    void requestLine_data();
    void requestLine();

    void batchesOfTenAndNoWaitingItemQueuedTwice();
    void groupedByStoreInTableOrder();
    void pausedAfterReplyAndStampedWhenSent();
    void cartCreatedInTheStore();
    void faultGivesOneErrorAndLosesNoLaterRequest_data();
    void faultGivesOneErrorAndLosesNoLaterRequest();
    void refusedKeysNameTheFileNotTheKey();
    void destroyedWithReplyInFlight();

private:
    QStringList AddItems(const QString& locale, const QString& prefix, int nCount);
    SimulatedStore& Store() { return m_session->store(); }

    ScratchEnvironment m_scratch;
    std::unique_ptr<SimulatedStoreSession> m_session;
    AmazonConnector* m_connector = nullptr;
    std::unique_ptr<QSignalSpy> m_items;
    std::unique_ptr<QSignalSpy> m_carts;
    std::unique_ptr<QSignalSpy> m_errors;
    QDateTime m_now;
};

void TestAmazonConnector::initTestCase()
{
    Global::InitializeSettings();
    // The store sets http_proxy; connectors are created after it.
    m_session = std::make_unique<SimulatedStoreSession>();
    QVERIFY(m_session->isReady());
}

void TestAmazonConnector::init()
{
    Store().resetCatalogue();
    Store().clearFaults();
    Store().clearRequestLog();
    Store().setClock({});
    Store().setCredentials({}, {});
    // A dead application proxy: only a connector that turns the system proxy
    // configuration on again reaches the store (and nothing leaves the machine).
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", 1));
    m_connector = new AmazonConnector(this);
    m_items = std::make_unique<QSignalSpy>(m_connector, &AmazonConnector::ProductInfoAvailable);
    m_carts = std::make_unique<QSignalSpy>(m_connector, &AmazonConnector::CartAvailable);
    m_errors = std::make_unique<QSignalSpy>(m_connector, &AmazonConnector::Error);
}

void TestAmazonConnector::cleanup()
{
    delete m_connector;
    m_connector = nullptr;
    Store().releaseSilentConnections();
}

QStringList TestAmazonConnector::AddItems(const QString& locale, const QString& prefix, int nCount)
{
    QStringList asins;
    for (int i = 0; i < nCount; ++i) {
        SimulatedItem item;
        item.asin
            = QStringLiteral("%1%2").arg(prefix).arg(i, 10 - prefix.size(), 10, QLatin1Char('0'));
        item.title = QStringLiteral("Title of ") + item.asin;
        item.price = 1000 + i;
        item.lowestNewPrice = 999 + i;
        item.stock = 5;
        item.offerListingId = QStringLiteral("offer-") + item.asin;
        if (!Store().addItem(locale, item))
            return {};
        asins << item.asin;
    }
    return asins;
}

void TestAmazonConnector::firstChildText()
{
    QDomDocument document;
    QVERIFY(document.setContent(QString("<r><a c=\"attr\"><b><c>first</c><c>2nd</c></b><b><c>3rd"
                                        "</c></b></a><d>x<e>y</e></d></r>")));
    const auto text = [&document](const char* path) {
        return AmazonConnector::GetFirstChildText(document.documentElement(), path);
    };
    QCOMPARE(text("d"), QString("xy")); // all the text of the element
    QCOMPARE(text("a,b,c"), QString("first")); // the first child of each name
    QCOMPARE(text("c"), QString()); // a grandchild is not a child
    QCOMPARE(text("a,,c"), QString()); // an empty part finds nothing
    QCOMPARE(text("a,c"), QString()); // attributes play no part
}

void TestAmazonConnector::itemRecord_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("itemXml");
    QTest::addColumn<QVariantMap>("expected"); // an invalid value: the key must be absent

    const QVariant absent;
    const QString summary("<OfferSummary><LowestNewPrice><Amount>1999</Amount><FormattedPrice>"
                          "$19.99</FormattedPrice></LowestNewPrice><LowestUsedPrice><Amount>950"
                          "</Amount></LowestUsedPrice></OfferSummary>");
    QTest::newRow("amounts divided by 100")
        << "de" << Item("B1", summary)
        << QVariantMap { { "LowestNewPrice", 19.99 }, { "FormattedLowestNewPrice", "$19.99" },
               { "LowestUsedPrice", 9.5 } };
    QTest::newRow("no price: not available whatever the text")
        << "us"
        << Item("B1",
               "<ItemAttributes><Title>T</Title></ItemAttributes><Offers><Offer><OfferListing>"
               "<Availability>Usually ships in 24 hours</Availability></OfferListing></Offer>"
               "</Offers>")
        << QVariantMap { { "Title", "T" }, { "ListPrice", absent },
               { "FormattedListPrice", absent }, { "Price", 0.0 }, { "FormattedPrice", "" },
               { "InStock", false }, { "Availability", "Not Available" },
               { "OfferListingId", absent }, { "IsEligibleForSuperSaverShipping", absent } };
    QTest::newRow("first offer's first listing only")
        << "us"
        << Item("B1",
               "<Offers><Offer><OfferListing><Price><Amount>100</Amount></Price></OfferListing>"
               "<OfferListing><Price><Amount>50</Amount></Price></OfferListing></Offer>"
               "<Offer><OfferListing><Price><Amount>10</Amount></Price></OfferListing></Offer>"
               "</Offers>")
        << QVariantMap { { "Price", 1.0 } };
    QTest::newRow("direct image first, then image sets")
        << "us"
        << Item("B1",
               "<LargeImage><URL>http://i/direct.jpg</URL></LargeImage><ImageSets><ImageSet>"
               "<SmallImage><URL>http://i/s.jpg</URL></SmallImage><LargeImage><URL>http://i/"
               "set.jpg</URL></LargeImage></ImageSet></ImageSets>")
        << QVariantMap { { "SmallImage", "http://i/s.jpg" }, { "MediumImage", absent },
               { "LargeImage", "http://i/direct.jpg" } };
    QTest::newRow("list price; detail page built, reply's link ignored")
        << "fr"
        << Item("B00FR",
               "<DetailPageURL>http://elsewhere.example/x</DetailPageURL><ItemAttributes><Title>"
               "Livre</Title><ListPrice><Amount>1234</Amount><FormattedPrice>EUR 12,34"
               "</FormattedPrice></ListPrice></ItemAttributes>")
        << QVariantMap { { "Title", "Livre" }, { "ListPrice", 12.34 },
               { "FormattedListPrice", "EUR 12,34" },
               { "DetailPageURL",
                   "http://" + Global::WebHost("fr")
                       + "/gp/product/B00FR?tag=" + Global::AssociateIdString.value("fr") } };
    // What a hostile or broken reply may carry ends as no price and one
    // short line of text.
    const QString bigTitle = "Line1\nLine2 " + QString(1 << 20, 'x');
    QTest::newRow("title of a megabyte on one line, cut")
        << "us" << Item("B1", "<ItemAttributes><Title>" + bigTitle + "</Title></ItemAttributes>")
        << QVariantMap { { "Title", "Line1 Line2 " + QString(387, 'x') + "\u2026" } };
    QTest::newRow("positive price keeps availability; controls and direction marks removed")
        << "uk"
        << Item("B\u202E1",
               "<ItemAttributes><Title>\u202Eevil\u200F\tname\u0085x\u009B</Title></ItemAttributes>"
                   + Offers("1999", "In\u2066 stock\r\n\u2028today")
                         .replace("F1999", "$\u202E99.91"))
        << QVariantMap { { "ASIN", "B1" }, { "Title", "evil name x" }, { "Price", 19.99 },
               { "InStock", true }, { "Availability", "In stock today" },
               { "FormattedPrice", "$99.91" }, { "OfferListingId", "L-1999" },
               { "IsEligibleForSuperSaverShipping", "1" } };
    for (const char* amount : { "0", "-1999", "nan", "-inf", "inf", "1e999", "100000000000000",
             "12abc", "0x10", "1,999", "" })
        QTest::newRow(qPrintable(QStringLiteral("amount '%1' is no price").arg(amount)))
            << "us"
            << Item("B1",
                   Offers(amount, "Now")
                       + QStringLiteral("<OfferSummary><LowestNewPrice><Amount>%1</Amount>"
                                        "</LowestNewPrice></OfferSummary>")
                             .arg(amount))
            << QVariantMap { { "Price", 0.0 }, { "LowestNewPrice", 0.0 }, { "InStock", false },
                   { "Availability", "Not Available" } };
    QTest::newRow("largest amount still a price")
        << "jp" << Item("B1", Offers("1000000000000", "Now"))
        << QVariantMap { { "Price", 1e12 }, { "InStock", true } };
    QTest::newRow("image links other than web addresses dropped")
        << "us"
        << Item("B1",
               "<SmallImage><URL>file:///etc/passwd</URL></SmallImage><MediumImage><URL>"
               "javascript:alert(1)</URL></MediumImage><LargeImage><URL>http://i/"
                   + QString(3000, 'l') + "</URL></LargeImage>")
        << QVariantMap { { "SmallImage", absent }, { "MediumImage", absent },
               { "LargeImage", absent } };
    QTest::newRow("price-only record lacks attributes and images")
        << "de" << Item("B2", Offers("500", "Now"))
        << QVariantMap { { "Title", absent }, { "ListPrice", absent },
               { "FormattedListPrice", absent }, { "SmallImage", absent },
               { "MediumImage", absent }, { "LargeImage", absent }, { "Price", 5.0 },
               { "LowestNewPrice", 0.0 }, { "FormattedLowestUsedPrice", "" } };
}

void TestAmazonConnector::itemRecord()
{
    QFETCH(QString, locale);
    QFETCH(QString, itemXml);
    QFETCH(QVariantMap, expected);
    m_connector->ParseXml(LookupReply(itemXml), Lookup, locale);
    QCOMPARE(Texts(*m_errors), QStringList());
    QCOMPARE(m_items->size(), 1);
    const QVariantList records = m_items->first().first().toList();
    QCOMPARE(records.size(), 1);
    const QVariantMap record = records.first().toMap();
    QCOMPARE(record.value("Locale").toString(), locale);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QVERIFY2(record.contains(it.key()) == it.value().isValid(), qPrintable(it.key()));
        if (it.value().typeId() == QMetaType::Double)
            QCOMPARE(record.value(it.key()).toDouble(), it.value().toDouble());
        else if (it.value().isValid())
            QCOMPARE(record.value(it.key()), it.value());
    }
}

void TestAmazonConnector::replyOutcome_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QVariant>("asins"); // invalid: no item list emitted
    QTest::addColumn<QStringList>("carts");
    QTest::addColumn<QStringList>("errorStarts");

    const QString apiError("<Request><IsValid>True</IsValid><Errors><Error><Code>AWS.Invalid"
                           "ParameterValue</Code><Message>B0BAD is not valid.</Message></Error>"
                           "<Error><Code>Second</Code><Message>second</Message></Error>"
                           "</Errors></Request>");
    const QVariant none;
    QTest::newRow("items in document order")
        << Lookup << LookupReply(Item("B3", "") + Item("B1", "") + "<Other/>" + Item("B2", ""))
        << QVariant(QStringList { "B3", "B1", "B2" }) << QStringList() << QStringList();
    QTest::newRow("no item: empty list")
        << Lookup << LookupReply("") << QVariant(QStringList()) << QStringList() << QStringList();
    QTest::newRow("api error, first message")
        << Lookup << LookupReply("", apiError) << none << QStringList()
        << QStringList { "Invalid Request: B0BAD is not valid." };
    QTest::newRow("refusal document")
        << Lookup
        << QByteArray("<ItemLookupErrorResponse><Error><Code>RequestExpired</Code><Message>"
                      "Too old.</Message></Error></ItemLookupErrorResponse>")
        << none << QStringList() << QStringList { "Invalid Request: Too old." };
    QTest::newRow("account refused in a cart reply, its page withheld")
        << Cart
        << QByteArray("<CartCreateResponse><Cart><Request><Errors><Error><Code>AWS.Invalid"
                      "Associate</Code><Message>Your AKIAKEY is not an associate.</Message>"
                      "</Error></Errors></Request><PurchaseURL>https://x</PurchaseURL></Cart>"
                      "</CartCreateResponse>")
        << none << QStringList()
        << QStringList { "The store refused the configured account keys (AWS.InvalidAssociate). "
                         "Check the keys in " };
    QTest::newRow("nested 200000 deep")
        << Lookup
        << "<ItemLookupResponse>" + QByteArray("<a>").repeated(200000)
            + QByteArray("</a>").repeated(200000) + "</ItemLookupResponse>"
        << none << QStringList()
        << QStringList { "Invalid reply: elements nested deeper than 256" };
    QTest::newRow("cart url")
        << Cart
        << QByteArray("<CartCreateResponse><Cart><Request><IsValid>True</IsValid></Request>"
                      "<PurchaseURL>https://www.example/cart?id=1&amp;h=x</PurchaseURL></Cart>"
                      "</CartCreateResponse>")
        << none << QStringList { "https://www.example/cart?id=1&h=x" } << QStringList();
    // A billion laughs: a kilobyte that would expand to gigabytes.
    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 9; ++i)
        laughs += QStringLiteral("<!ENTITY l%1 \"%2\">")
                      .arg(i)
                      .arg(QStringLiteral("&l%1;").arg(i - 1).repeated(10))
                      .toUtf8();
    laughs += "]><ItemLookupResponse><Items>&l9;</Items></ItemLookupResponse>";
    QTest::newRow("entity expansion bomb")
        << Lookup << laughs << none << QStringList()
        << QStringList { "Invalid reply: a document type declaration is not accepted" };
    QTest::newRow("external entity")
        << Cart
        << QByteArray("<!DOCTYPE c [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><CartCreateResponse>"
                      "<Cart><PurchaseURL>http://x/&e;</PurchaseURL></Cart></CartCreateResponse>")
        << none << QStringList()
        << QStringList { "Invalid reply: a document type declaration is not accepted" };
    QTest::newRow("parser's reason quoting the reply")
        << Lookup << QByteArray("<?xml version=\"1.0\" encoding=\"UTF\n-7\"?><a/>") << none
        << QStringList() << QStringList { "Invalid reply: UTF -7 is an invalid encoding name" };
    QTest::newRow("invalid utf-8") << Lookup << LookupReply(Item("B1", "")).replace("B1", "B\xC3(")
                                   << none << QStringList() << QStringList { "Invalid reply: " };
    QStringList eleven;
    QString elevenItems;
    for (int i = 0; i < 11; ++i) {
        eleven << QStringLiteral("B%1").arg(i);
        elevenItems += Item(eleven.last(), "");
    }
    QTest::newRow("more items than a lookup asks for")
        << Lookup << LookupReply(elevenItems) << QVariant(eleven.mid(0, 10)) << QStringList()
        << QStringList { "Invalid reply: more than 10 items" };
    QTest::newRow("api message of a megabyte")
        << Lookup
        << LookupReply("",
               "<Request><Errors><Error><Code>X</Code><Message>Bad\n\u202Eid "
                   + QString(1 << 20, 'm') + "</Message></Error></Errors></Request>")
        << none << QStringList() << QStringList { "Invalid Request: Bad id mmm" };
    QTest::newRow("cart page that is no web address")
        << Cart
        << QByteArray("<CartCreateResponse><Cart><PurchaseURL>file:///etc/passwd</PurchaseURL>"
                      "</Cart></CartCreateResponse>")
        << none << QStringList()
        << QStringList { "Invalid reply: the checkout page is no web address" };
    QTest::newRow("unknown operation")
        << "CartAdd" << QByteArray("not xml") << none << QStringList() << QStringList();
}

void TestAmazonConnector::replyOutcome()
{
    QFETCH(QString, operation);
    QFETCH(QByteArray, xml);
    QFETCH(QVariant, asins);
    QFETCH(QStringList, carts);
    QFETCH(QStringList, errorStarts);
    m_connector->ParseXml(xml, operation, "us");
    QCOMPARE(m_items->size(), asins.isValid() ? 1 : 0);
    if (asins.isValid())
        QCOMPARE(AsinsOf(m_items->first().first().toList()), asins.toStringList());
    QCOMPARE(Texts(*m_carts), carts);
    const QStringList errors = Texts(*m_errors);
    QCOMPARE(errors.size(), errorStarts.size());
    for (qsizetype i = 0; i < errorStarts.size(); ++i) {
        QVERIFY2(errors.at(i).startsWith(errorStarts.at(i)), qPrintable(errors.at(i)));
        // A message box shows it: one line of sane length.
        QVERIFY2(errors.at(i).size() <= 500 && !errors.at(i).contains('\n'),
            qPrintable(errors.at(i).left(100)));
    }
}

void TestAmazonConnector::onlyAskedItemsRead()
{
    m_connector->ParseXml(
        LookupReply(Item("B0ASKED001", "") + Item("B0OTHER001", "") + Item("b0asked002", "")),
        Lookup, "us", { "B0ASKED001", "B0ASKED002" });
    QCOMPARE(m_items->size(), 1);
    QCOMPARE(
        AsinsOf(m_items->first().first().toList()), QStringList({ "B0ASKED001", "b0asked002" }));
    QCOMPARE(Texts(*m_errors), QStringList { "Invalid reply: 1 item(s) that were not asked for" });
}

void TestAmazonConnector::requestLine_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("items");

    // Eleven offers: the listing ids sort as text ("A+offer", "B/offer",
    // "L10", "L2" ... "L9") and give the indexes 0 to 10; the parameters then
    // sort as text too, so index 10 comes before index 2.
    QByteArray cart = "Item.0.OfferListingId=A%2Boffer&Item.0.Quantity=2"
                      "&Item.1.OfferListingId=B%2Foffer&Item.1.Quantity=1"
                      "&Item.10.OfferListingId=L9&Item.10.Quantity=1"
                      "&Item.2.OfferListingId=L10&Item.2.Quantity=1"
                      "&Item.3.OfferListingId=L2&Item.3.Quantity=3";
    for (int index = 4; index <= 9; ++index)
        cart += QStringLiteral("&Item.%1.OfferListingId=L%2&Item.%1.Quantity=1")
                    .arg(index)
                    .arg(index - 1)
                    .toUtf8();
    const QByteArray ids = "ItemId=B0%20%2A%C3%A9~%2B%2F%3D%26%23%25%2CB000000001&Operation="
                           "ItemLookup&ResponseGroup=";
    QTest::newRow("full lookup") << "full"
                                 << "us" << ids + "ItemAttributes%2COfferFull%2CImages";
    QTest::newRow("price-only lookup") << "price"
                                       << "jp" << ids + "OfferFull";
    QTest::newRow("cart") << "cart"
                          << "uk" << cart + "&Operation=CartCreate";
}

void TestAmazonConnector::requestLine()
{
    QFETCH(QString, kind);
    QFETCH(QString, locale);
    QFETCH(QByteArray, items);

    const QByteArray head = FirstRequestHead([&](AmazonConnector& connector) {
        if (kind != "cart") {
            connector.QueryProduct({ QString::fromUtf8("B0 *\xC3\xA9~+/=&#%"), "B000000001" },
                locale, kind == "price");
            return;
        }
        QVariantMap offers { { "B/offer", 1 }, { "A+offer", 2 }, { "L2", 3 }, { "L10", 1 } };
        for (int i = 3; i <= 9; ++i)
            offers.insert(QStringLiteral("L%1").arg(i), 1);
        connector.CreateCart(offers, locale);
    });

    const QByteArray host = Global::ApiHost(locale).toUtf8();
    const QByteArray query = "AWSAccessKeyId=" + Global::AccessKeyString.toUtf8()
        + "&AssociateTag=" + Global::AssociateIdString.value(locale).toUtf8() + "&" + items
        + "&Service=AWSECommerceService&Timestamp=2026-12-05T12%3A16%3A08Z";
    QCOMPARE(head.left(head.indexOf("\r\n")),
        "GET http://" + host + "/onca/xml?" + query + "&Signature=" + ExpectedSignature(host, query)
            + " HTTP/1.1");
    QVERIFY(head.contains("\r\nUser-Agent: " + Global::UserAgentString.toLatin1() + "\r\n"));
}

// Batches of ten, sent and delivered in order. A slow store: the first
// request is in flight, two wait. A second poll asks again only for the items
// already sent; a full look-up always goes.
void TestAmazonConnector::batchesOfTenAndNoWaitingItemQueuedTwice()
{
    const QStringList asins = AddItems("de", "SL", 25);
    QCOMPARE(asins.size(), 25);
    m_connector->SetPause(0);
    Store().injectFault(SimulatedFault::Kind::Delay, 1, 400);
    m_connector->QueryProduct(asins, QStringLiteral("de"), true);
    QTRY_COMPARE(Store().requestCount(), 1);
    QVERIFY(m_items->isEmpty());
    m_connector->QueryProduct(asins, QStringLiteral("de"), true);
    m_connector->QueryProduct(asins.mid(20), QStringLiteral("de"), false);
    // A copy of a waiting request would come fifth and show below.
    QTRY_COMPARE_WITH_TIMEOUT(m_items->size(), 5, 10000);

    const QList<QStringList> batches { asins.mid(0, 10), asins.mid(10, 10), asins.mid(20),
        asins.mid(0, 10), asins.mid(20) };
    const QList<SimulatedRequest> log = Store().requestLog();
    QCOMPARE(log.size(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(log[i].parameter("ItemId"), batches[i].join(','));
        QCOMPARE(log[i].parameter("ResponseGroup"),
            QString(i < 4 ? "OfferFull" : "ItemAttributes,OfferFull,Images"));
        QVERIFY2(log[i].signatureValid, qPrintable(log[i].rejection));
        QCOMPARE(AsinsOf(m_items->at(i).first().toList()), batches[i]);
    }
    QCOMPARE(Texts(*m_errors), QStringList());
}

void TestAmazonConnector::groupedByStoreInTableOrder()
{
    // All six stores in reverse order, a second "us" item ahead of the first
    // one, an unknown store and a surplus locale ("fr") without an ASIN.
    QStringList asins;
    QStringList locales;
    for (const QString& locale : std::as_const(Global::AmazonLocale)) {
        asins.prepend("B0PW000001");
        locales.prepend(locale);
    }
    asins.prepend("B0PW000002");
    locales.prepend("us");
    asins << "B0NOWHERE1";
    locales << "xx"
            << "fr";
    m_connector->QueryProduct(asins, locales, false);
    QTRY_COMPARE_WITH_TIMEOUT(m_items->size(), 6, 10000);
    QTest::qWait(700);

    const QList<SimulatedRequest> log = Store().requestLog();
    QCOMPARE(log.size(), 6);
    for (int i = 0; i < 6; ++i) {
        const QString locale = Global::AmazonLocale.at(i);
        const QStringList expected = locale == "us" ? QStringList { "B0PW000002", "B0PW000001" }
                                                    : QStringList { "B0PW000001" };
        QCOMPARE(log[i].host, Global::ApiHost(locale));
        QCOMPARE(log[i].parameter("ItemId"), expected.join(','));
        QCOMPARE(log[i].parameter("ResponseGroup"), QString("ItemAttributes,OfferFull,Images"));
        QVERIFY2(log[i].signatureValid, qPrintable(log[i].rejection));

        const QVariantList records = m_items->at(i).first().toList();
        QCOMPARE(AsinsOf(records), expected);
        const QVariantMap record = records.last().toMap();
        const SimulatedItem item = Store().item(locale, "B0PW000001").value();
        const double divisor = locale == "jp" ? 1.0 : 100.0;
        QCOMPARE(record.value("Locale").toString(), locale);
        QCOMPARE(record.value("Title").toString(), item.title);
        QCOMPARE(record.value("InStock").toBool(), item.hasOffer());
        QCOMPARE(record.value("Price").toDouble(), item.hasOffer() ? item.price / divisor : 0.0);
        QCOMPARE(record.value("LowestNewPrice").toDouble(), item.lowestNewPrice / divisor);
    }
    QCOMPARE(Texts(*m_errors), QStringList());
}

void TestAmazonConnector::pausedAfterReplyAndStampedWhenSent()
{
    const QStringList asins = AddItems("uk", "PA", 2);
    m_now = FixedTime;
    m_connector->SetClock([this] { return m_now; });
    Store().setClock([this] { return m_now; });
    // The first answer comes late: the pause counts from its end, not from
    // when the request left.
    Store().injectFault(SimulatedFault::Kind::Delay, 1, 300);
    QDateTime firstFinished;
    connect(m_connector, &AmazonConnector::ProductInfoAvailable, this, [&firstFinished] {
        if (firstFinished.isNull())
            firstFinished = QDateTime::currentDateTimeUtc();
    });

    m_connector->QueryProduct({ asins[0] }, QStringLiteral("uk"), true);
    m_connector->QueryProduct({ asins[1] }, QStringLiteral("uk"), true);
    QTRY_COMPARE(Store().requestCount(), 1);
    // Both were queued at 12:16:08; the second leaves an hour "later".
    m_now = m_now.addSecs(3600);
    QTRY_COMPARE_WITH_TIMEOUT(m_items->size(), 2, 5000);

    const QList<SimulatedRequest> log = Store().requestLog();
    QCOMPARE(log.size(), 2);
    const qint64 afterReply = firstFinished.msecsTo(log[1].arrival);
    const qint64 betweenRequests = log[0].arrival.msecsTo(log[1].arrival);
    QVERIFY2(afterReply >= 500, qPrintable(QString::number(afterReply)));
    QVERIFY2(betweenRequests >= 800, qPrintable(QString::number(betweenRequests)));
    QCOMPARE(log[0].parameter("Timestamp"), QString("2026-12-05T12:16:08Z"));
    QCOMPARE(log[1].parameter("Timestamp"), QString("2026-12-05T13:16:08Z"));
    QVERIFY2(log[1].signatureValid, qPrintable(log[1].rejection));
}

// The request's exact form is checked in requestLine.
void TestAmazonConnector::cartCreatedInTheStore()
{
    const QStringList asins = AddItems("de", "CA", 2);
    m_connector->CreateCart(
        { { "offer-" + asins[1], 1 }, { "offer-" + asins[0], 3 } }, QStringLiteral("de"));
    QTRY_COMPARE(m_carts->size(), 1);

    const SimulatedRequest request = Store().requestLog().value(0);
    QVERIFY2(request.signatureValid, qPrintable(request.rejection));
    QCOMPARE(request.operation, QString("CartCreate"));
    QCOMPARE(QUrl(m_carts->first().first().toString()).host(), Global::WebHost("de"));
    QCOMPARE(Texts(*m_errors), QStringList());
}

void TestAmazonConnector::faultGivesOneErrorAndLosesNoLaterRequest_data()
{
    QTest::addColumn<int>("kind"); // -1: no fault, an unknown ASIN in the first batch
    QTest::addColumn<bool>("firstDelivered");
    QTest::addColumn<QString>("errorStart"); // empty: no error at all

    const auto row = [](const char* name, int kind, bool delivered, const QString& error) {
        QTest::newRow(name) << kind << delivered << error;
    };
    using Kind = SimulatedFault::Kind;
    row("http 500", int(Kind::Http500), false, "Invalid Request: ");
    row("malformed xml", int(Kind::MalformedXml), false, "Invalid reply: ");
    row("truncated body", int(Kind::TruncatedBody), false,
        QString("Network error: %1").arg(int(QNetworkReply::RemoteHostClosedError)));
    row("no answer within the timeout", int(Kind::NoAnswer), false,
        QString("Network error: %1 (").arg(int(QNetworkReply::OperationCanceledError)));
    row("body in pieces", int(Kind::Pieces), true, QString());
    row("endless body", int(Kind::HugeBody), false, "Invalid reply: more than 16 MiB");
    row("unknown asin beside items", -1, true, "Invalid Request: B0GONE0000");
}

void TestAmazonConnector::faultGivesOneErrorAndLosesNoLaterRequest()
{
    QFETCH(int, kind);
    QFETCH(bool, firstDelivered);
    QFETCH(QString, errorStart);
    const QStringList asins = AddItems("us", "FA", 4);
    QStringList firstBatch = asins.mid(0, 3);
    if (kind < 0)
        firstBatch.insert(1, QStringLiteral("B0GONE0000"));
    else
        Store().injectFault(static_cast<SimulatedFault::Kind>(kind));
    // Short only where the timeout is the point: reading 16 MiB under the
    // sanitizers takes longer than a second.
    m_connector->SetReplyTimeout(kind == int(SimulatedFault::Kind::NoAnswer) ? 1000 : 10000);

    m_connector->QueryProduct(firstBatch, QStringLiteral("us"), true);
    m_connector->QueryProduct(asins.mid(3), QStringLiteral("us"), true);
    QTRY_COMPARE_WITH_TIMEOUT(m_items->size(), firstDelivered ? 2 : 1, 15000);
    QTest::qWait(100);

    QCOMPARE(m_items->size(), firstDelivered ? 2 : 1);
    if (firstDelivered)
        QCOMPARE(AsinsOf(m_items->first().first().toList()), asins.mid(0, 3));
    QCOMPARE(AsinsOf(m_items->last().first().toList()), asins.mid(3));
    const QStringList errors = Texts(*m_errors);
    QCOMPARE(errors.size(), errorStart.isEmpty() ? 0 : 1);
    if (!errorStart.isEmpty())
        QVERIFY2(errors.first().startsWith(errorStart), qPrintable(errors.first()));
    QCOMPARE(Store().requestLog().last().parameter("ItemId"), asins.at(3));
}

// Reported once, without a word of either key: the user learns which file
// holds the keys the store did not take.
void TestAmazonConnector::refusedKeysNameTheFileNotTheKey()
{
    const QByteArray file = "/home/someone/.config/Pricewarden/account.ini";
    qputenv(Global::ConfigEnvironmentVariable, file);
    Store().setCredentials(QString(), QStringLiteral("another secret key of forty characters!!"));
    m_connector->QueryProduct({ "B0PW000001" }, QStringLiteral("us"), true);
    QTRY_COMPARE(m_errors->size(), 1);
    QTest::qWait(100);
    qunsetenv(Global::ConfigEnvironmentVariable);
    QCOMPARE(m_errors->size(), 1);
    QCOMPARE(Texts(*m_errors).first(),
        "The store refused the configured account keys (SignatureDoesNotMatch). Check the keys in "
            + file + ".");
    QVERIFY(m_items->isEmpty());
    QCOMPARE(Store().requestLog().value(0).httpStatus, 403);
    QCOMPARE(Store().requestLog().value(0).rejection, QString("SignatureDoesNotMatch"));
}

void TestAmazonConnector::destroyedWithReplyInFlight()
{
    Store().injectFault(SimulatedFault::Kind::Delay, 1, 300);
    m_connector->QueryProduct({ "B0PW000001" }, QStringLiteral("us"), true);
    m_connector->QueryProduct({ "B0PW000002" }, QStringLiteral("us"), true);
    QTRY_COMPARE(Store().requestCount(), 1);

    delete m_connector;
    m_connector = nullptr;
    // The late answer and the pause timer find nobody; the queued request
    // is dropped.
    QTest::qWait(900);
    QCOMPARE(Store().requestCount(), 1);
}

QTEST_GUILESS_MAIN(TestAmazonConnector)
#include "tst_amazonconnector.moc"
