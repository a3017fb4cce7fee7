// The product client's requests byte for byte as they reach the proxy, and
// its handling of canned answers (split bodies, HTTP errors).
#include "AmazonConnector.h"
#include "ConnectorWireRecorder.h"
#include "Global.h"
#include "ScratchEnvironment.h"

#include <QMessageAuthenticationCode>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

namespace {

const QDateTime FixedTime(QDate(2026, 12, 5), QTime(12, 16, 8), Qt::UTC);

// Written out independently of the client: HMAC-SHA-256 under the secret
// key, Base64, then "+", "/" and "=" percent-encoded.
QByteArray ExpectedSignature(const QString& host, const QByteArray& query)
{
    const QByteArray stringToSign = "GET\n" + host.toUtf8() + "\n/onca/xml\n" + query;
    QByteArray signature = QMessageAuthenticationCode::hash(
        stringToSign, Global::SecretKeyString.toUtf8(), QCryptographicHash::Sha256)
                               .toBase64();
    signature.replace("+", "%2B").replace("/", "%2F").replace("=", "%3D");
    return signature;
}

QByteArray AccountPart(const QString& locale)
{
    return "AWSAccessKeyId=" + Global::AccessKeyString.toUtf8()
        + "&AssociateTag=" + Global::AssociateIdString.value(locale).toUtf8();
}

const QByteArray ServicePart = "Service=AWSECommerceService&Timestamp=2026-12-05T12%3A16%3A08Z";

QByteArray LookupBody(const QStringList& asins)
{
    QByteArray items;
    for (const QString& asin : asins)
        items += "<Item><ASIN>" + asin.toUtf8() + "</ASIN><Offers><Offer><OfferListing><Price>"
            + "<Amount>1000</Amount></Price></OfferListing></Offer></Offers></Item>";
    return "<?xml version=\"1.0\"?><ItemLookupResponse><Items><Request><IsValid>True</IsValid>"
           "</Request>"
        + items + "</Items></ItemLookupResponse>";
}

} // namespace

class TestAmazonConnectorWire : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void requestLine_data();
    void requestLine();
    void userAgentIsTheOnlyHeaderSet();
    void replyInPiecesIsParsedWhole();
    void httpErrorReportedOnce_data();
    void httpErrorReportedOnce();
    void unreachableProxyReportedPerRequest();
    void localesWithoutAsinAreSkipped();

private:
    ScratchEnvironment m_scratch;
    ConnectorWireRecorder* m_recorder = nullptr;
    AmazonConnector* m_connector = nullptr;
};

void TestAmazonConnectorWire::initTestCase()
{
    Global::InitializeSettings();
}

void TestAmazonConnectorWire::init()
{
    // A fresh proxy per test, named before the client is created.
    m_recorder = new ConnectorWireRecorder(this);
    QVERIFY(m_recorder->listen());
    qputenv("http_proxy", m_recorder->proxyUrl().toUtf8());
    m_connector = new AmazonConnector(this);
    m_connector->SetClock([] { return FixedTime; });
}

void TestAmazonConnectorWire::cleanup()
{
    delete m_connector;
    m_connector = nullptr;
    delete m_recorder;
    m_recorder = nullptr;
}

void TestAmazonConnectorWire::requestLine_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("query");

    QTest::newRow("full lookup, space and comma encoded") << "full"
                                                          << "us"
                                                          << AccountPart("us")
            + "&ItemId=B000000001%2CB0%20SPACE&Operation=ItemLookup&ResponseGroup="
              "ItemAttributes%2COfferFull%2CImages&"
            + ServicePart;
    QTest::newRow("price-only lookup in jp")
        << "price"
        << "jp"
        << AccountPart("jp") + "&ItemId=B000000001%2CB0%20SPACE&Operation=ItemLookup&"
            + "ResponseGroup=OfferFull&" + ServicePart;
    // Eleven offers: the listing ids sort as text ("A+offer", "B/offer",
    // "L10", "L2" ... "L9") and give the indexes 0 to 10; the parameters then
    // sort as text too, so index 10 comes before index 2.
    QByteArray cartItems = "&Item.0.OfferListingId=A%2Boffer&Item.0.Quantity=2"
                           "&Item.1.OfferListingId=B%2Foffer&Item.1.Quantity=1"
                           "&Item.10.OfferListingId=L9&Item.10.Quantity=1"
                           "&Item.2.OfferListingId=L10&Item.2.Quantity=1"
                           "&Item.3.OfferListingId=L2&Item.3.Quantity=3";
    for (int index = 4; index <= 9; ++index)
        cartItems += QStringLiteral("&Item.%1.OfferListingId=L%2&Item.%1.Quantity=1")
                         .arg(index)
                         .arg(index - 1)
                         .toUtf8();
    QTest::newRow("cart, offers in key order, index 10 before 2")
        << "cart"
        << "uk" << AccountPart("uk") + cartItems + "&Operation=CartCreate&" + ServicePart;
}

void TestAmazonConnectorWire::requestLine()
{
    QFETCH(QString, kind);
    QFETCH(QString, locale);
    QFETCH(QByteArray, query);

    if (kind == "cart") {
        // Listing ids sort as text: "A+offer" < "B/offer" < "L10" < "L2" < ...
        QVariantMap offers { { "B/offer", 1 }, { "A+offer", 2 }, { "L2", 3 }, { "L10", 1 } };
        for (int i = 3; i <= 9; ++i)
            offers.insert(QStringLiteral("L%1").arg(i), 1);
        m_connector->CreateCart(offers, locale);
    } else {
        m_connector->QueryProduct(
            QStringList { "B000000001", "B0 SPACE" }, locale, kind == QLatin1String("price"));
    }
    QTRY_COMPARE(m_recorder->requestHeads().size(), 1);

    const QString host = Global::ApiHost(locale);
    const QByteArray expected = "GET http://" + host.toUtf8() + "/onca/xml?" + query
        + "&Signature=" + ExpectedSignature(host, query) + " HTTP/1.1";
    QCOMPARE(m_recorder->requestLine(0), expected);
}

void TestAmazonConnectorWire::userAgentIsTheOnlyHeaderSet()
{
    m_connector->QueryProduct(QStringList { "B000000001" }, QStringLiteral("de"), true);
    QTRY_COMPARE(m_recorder->requestHeads().size(), 1);
    QCOMPARE(m_recorder->header(0, "User-Agent"), QByteArray("QtWebBrowser"));
    QCOMPARE(m_recorder->header(0, "Host"), Global::ApiHost("de").toUtf8());
    QCOMPARE(m_recorder->header(0, "Content-Type"), QByteArray());
}

void TestAmazonConnectorWire::replyInPiecesIsParsedWhole()
{
    const QStringList asins { "B000000001", "B000000002", "B000000003" };
    m_recorder->enqueueAnswer({ 200, LookupBody(asins), 6, 40 });
    QSignalSpy items(m_connector, &AmazonConnector::ProductInfoAvailable);
    QSignalSpy errors(m_connector, &AmazonConnector::Error);

    m_connector->QueryProduct(asins, QStringLiteral("us"), true);
    QTRY_COMPARE(items.size(), 1);
    const QVariantList records = items.first().first().toList();
    QCOMPARE(records.size(), 3);
    QCOMPARE(records.at(2).toMap().value("ASIN").toString(), asins.at(2));
    QCOMPARE(records.at(2).toMap().value("Price").toDouble(), 10.0);
    QTest::qWait(100);
    QCOMPARE(items.size(), 1);
    QVERIFY(errors.isEmpty());
}

void TestAmazonConnectorWire::httpErrorReportedOnce_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("error");

    QTest::newRow("503 with an API error document")
        << 503
        << QByteArray("<ItemLookupErrorResponse><Error><Code>RequestThrottled</Code>"
                      "<Message>Request rate too high.</Message></Error>"
                      "</ItemLookupErrorResponse>")
        << "Invalid Request: Request rate too high.";
    QTest::newRow("403 with the error under the request element")
        << 403
        << QByteArray("<ItemLookupResponse><Items><Request><Errors><Error><Code>Denied</Code>"
                      "<Message>Denied.</Message></Error></Errors></Request></Items>"
                      "</ItemLookupResponse>")
        << "Invalid Request: Denied.";
    QTest::newRow("500 with a page that is not XML")
        << 500 << QByteArray("<html><body>Internal error")
        << QString("Network error: %1").arg(int(QNetworkReply::InternalServerError));
}

void TestAmazonConnectorWire::httpErrorReportedOnce()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, error);
    m_recorder->enqueueAnswer({ status, body, 1, 0 });
    QSignalSpy items(m_connector, &AmazonConnector::ProductInfoAvailable);
    QSignalSpy errors(m_connector, &AmazonConnector::Error);

    m_connector->QueryProduct(QStringList { "B000000001" }, QStringLiteral("us"), true);
    m_connector->QueryProduct(QStringList { "B000000002" }, QStringLiteral("us"), true);
    // The second request gets the default answer: an empty item list.
    QTRY_COMPARE(items.size(), 1);
    QCOMPARE(m_recorder->requestHeads().size(), 2);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().first().toString(), error);
    QVERIFY(items.first().first().toList().isEmpty());
}

void TestAmazonConnectorWire::unreachableProxyReportedPerRequest()
{
    QTcpServer vacated;
    QVERIFY(vacated.listen(QHostAddress::LocalHost, 0));
    const quint16 port = vacated.serverPort();
    vacated.close();
    qputenv("http_proxy", QStringLiteral("http://127.0.0.1:%1").arg(port).toUtf8());
    AmazonConnector connector;
    QSignalSpy errors(&connector, &AmazonConnector::Error);
    QSignalSpy items(&connector, &AmazonConnector::ProductInfoAvailable);

    connector.QueryProduct(QStringList { "B000000001" }, QStringLiteral("us"), true);
    connector.QueryProduct(QStringList { "B000000002" }, QStringLiteral("us"), true);
    // Each request fails on its own, once; the second still goes out.
    QTRY_COMPARE(errors.size(), 2);
    // Qt names a refused proxy connection either way, depending on version.
    const QStringList refused {
        QString("Network error: %1").arg(int(QNetworkReply::ConnectionRefusedError)),
        QString("Network error: %1").arg(int(QNetworkReply::ProxyConnectionRefusedError)),
    };
    QVERIFY2(refused.contains(errors.at(0).first().toString()),
        qPrintable(errors.at(0).first().toString()));
    QCOMPARE(errors.at(1).first().toString(), errors.at(0).first().toString());
    QVERIFY(items.isEmpty());
}

void TestAmazonConnectorWire::localesWithoutAsinAreSkipped()
{
    QSignalSpy items(m_connector, &AmazonConnector::ProductInfoAvailable);
    // More locales than ASINs: the surplus locales have nothing to ask for.
    m_connector->QueryProduct(QStringList { "B000000001" }, QStringList { "fr", "us", "de" });
    QTRY_COMPARE(items.size(), 1);
    QTest::qWait(700);
    QCOMPARE(m_recorder->requestHeads().size(), 1);
    QVERIFY(m_recorder->requestLine(0).contains("ItemId=B000000001&"));
    QCOMPARE(m_recorder->header(0, "Host"), Global::ApiHost("fr").toUtf8());
}

QTEST_GUILESS_MAIN(TestAmazonConnectorWire)
#include "tst_amazonconnectorwire.moc"
