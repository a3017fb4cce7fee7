// The simulated store seen from outside: through its proxy side with a
// QNetworkAccessManager, and through its JSON control interface. Requests are
// signed by the app's own SignedQuery, whose signing code shares nothing with
// the store's verification.

#include "Global.h"
#include "ProcessWait.h"
#include "ScratchEnvironment.h"
#include "ServiceManager.h"
#include "SignedQuery.h"
#include "SimulatedStore.h"
#include "SimulatedStoreSession.h"

#include <QDomDocument>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QString FullGroups = QStringLiteral("ItemAttributes,OfferFull,Images");
const QString OfferPrice = QStringLiteral("Offers/Offer/OfferListing/Price");

QVariantMap lookupParameters(const QString& locale, const QString& itemIds,
    const QString& responseGroup, const QDateTime& time)
{
    return { { "AWSAccessKeyId", Global::AccessKeyString },
        { "AssociateTag", Global::AssociateIdString.value(locale) }, { "ItemId", itemIds },
        { "Operation", "ItemLookup" }, { "ResponseGroup", responseGroup },
        { "Service", "AWSECommerceService" }, { "Timestamp", time.toString(Qt::ISODate) } };
}

QUrl lookupUrl(
    const QString& locale, const QString& itemIds, const QString& responseGroup = FullGroups)
{
    return SignedQuery::SignedUrl(Global::ApiHost(locale),
        lookupParameters(locale, itemIds, responseGroup, QDateTime::currentDateTimeUtc()));
}

struct Fetched
{
    int status = 0;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray body;
    QByteArray contentType;
    qint64 contentLength = -1;
    int readyReads = 0;
};

Fetched fetch(QNetworkAccessManager& manager, const QUrl& url, int transferTimeoutMs = 5000,
    const QByteArray& method = "GET", const QByteArray& body = QByteArray())
{
    QNetworkRequest request(url);
    request.setTransferTimeout(transferTimeoutMs);
    if (!body.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    std::unique_ptr<QNetworkReply> reply(manager.sendCustomRequest(request, method, body));
    Fetched fetched;
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&fetched, &reply]() {
        ++fetched.readyReads;
        fetched.body += reply->readAll();
    });
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(10000);
    if (reply->isOpen())
        fetched.body += reply->readAll();
    fetched.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    fetched.error = reply->error();
    fetched.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    fetched.contentLength = length.isValid() ? length.toLongLong() : -1;
    return fetched;
}

// Element reached from the parent by a "/"-separated path of child names;
// null when any step is missing.
QDomElement element(const QDomElement& parent, const QString& path)
{
    QDomElement current = parent;
    for (const QString& name : path.split(QLatin1Char('/'))) {
        current = current.firstChildElement(name);
        if (current.isNull())
            break;
    }
    return current;
}

QString text(const QDomElement& parent, const QString& path)
{
    return element(parent, path).text();
}

QDomElement documentRoot(const QByteArray& body)
{
    QDomDocument document;
    return document.setContent(body) ? document.documentElement() : QDomElement();
}

QList<QDomElement> items(const QDomElement& root)
{
    QList<QDomElement> result;
    for (QDomElement item = element(root, "Items/Item"); !item.isNull();
         item = item.nextSiblingElement("Item"))
        result << item;
    return result;
}

QJsonObject jsonObject(const QByteArray& body)
{
    return QJsonDocument::fromJson(body).object();
}

} // namespace

class TestSimulatedStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void signatureChecks_data();
    void signatureChecks();
    void responseGroupsChooseTheElements_data();
    void responseGroupsChooseTheElements();
    void formattedPricesPerStore_data();
    void formattedPricesPerStore();
    void catalogueFileLoads();
    void invalidCatalogueFileIsRefused_data();
    void invalidCatalogueFileIsRefused();
    void tickScheduleIsDeterministicForASeed();
    void controlInterfaceRoundTrip();
    void controlInterfaceRefusesBadInput_data();
    void controlInterfaceRefusesBadInput();
    void faultsAreObservable();
    void imageIsServedAsPng_data();
    void imageIsServedAsPng();
    void unknownHostGets404();
    void vendorService_data();
    void vendorService();
    void processPrintsItsProxyAndServes();

private:
    SimulatedStore& store() { return m_session->store(); }
    Fetched control(const QByteArray& method, const QString& path, const QByteArray& body = {})
    {
        return fetch(*m_direct, QUrl(m_session->proxyUrl() + path), 5000, method, body);
    }
    QDomElement lookupItem(const QString& locale, const QString& asin)
    {
        return items(documentRoot(fetch(*m_proxied, lookupUrl(locale, asin)).body)).value(0);
    }

    ScratchEnvironment m_scratch;
    std::unique_ptr<SimulatedStoreSession> m_session;
    std::unique_ptr<QNetworkAccessManager> m_proxied;
    std::unique_ptr<QNetworkAccessManager> m_direct;
};

void TestSimulatedStore::initTestCase()
{
    Global::InitializeSettings();
    QVERIFY(!Global::SecretKeyString.isEmpty());
}

void TestSimulatedStore::init()
{
    m_session = std::make_unique<SimulatedStoreSession>();
    QVERIFY(m_session->isReady());
    m_proxied = std::make_unique<QNetworkAccessManager>();
    m_direct = std::make_unique<QNetworkAccessManager>();
    m_direct->setProxy(QNetworkProxy::NoProxy);
}

void TestSimulatedStore::cleanup()
{
    m_proxied.reset();
    m_direct.reset();
    m_session.reset();
}

void TestSimulatedStore::signatureChecks_data()
{
    QTest::addColumn<QString>("fault"); // secret, key, tamper, check off (and wrong secret)
    QTest::addColumn<int>("clockAhead"); // of the store's clock over the signing time, seconds
    QTest::addColumn<QString>("code"); // empty: served with 200, else refused with 403

    QTest::newRow("correct") << QString() << 0 << QString();
    QTest::newRow("wrong secret") << "secret" << 0 << "SignatureDoesNotMatch";
    QTest::newRow("parameter changed after signing") << "tamper" << 0 << "SignatureDoesNotMatch";
    QTest::newRow("unknown access key") << "key" << 0 << "InvalidClientTokenId";
    QTest::newRow("15 minutes old") << QString() << 900 << QString();
    QTest::newRow("15 minutes 1 second old") << QString() << 901 << "RequestExpired";
    QTest::newRow("16 minutes ahead") << QString() << -960 << "RequestExpired";
    QTest::newRow("check off serves, verdict logged") << "check off" << 0 << QString();
}

void TestSimulatedStore::signatureChecks()
{
    QFETCH(QString, fault);
    QFETCH(int, clockAhead);
    QFETCH(QString, code);
    const int status = code.isEmpty() ? 200 : 403;

    const QDateTime signedAt(QDate(2026, 12, 5), QTime(12, 16, 8), Qt::UTC);
    store().setClock([signedAt, clockAhead] { return signedAt.addSecs(clockAhead); });
    if (fault == "secret" || fault == "check off")
        store().setCredentials(QString(), "another secret key");
    store().setSignatureCheckEnabled(fault != "check off");
    QVariantMap parameters = lookupParameters("us", "B0PW000001", "OfferFull", signedAt);
    if (fault == "key")
        parameters.insert("AWSAccessKeyId", "AKIAWRONGWRONGWRONG0");
    QByteArray url = SignedQuery::SignedUrl(Global::ApiHost("us"), parameters).toEncoded();
    if (fault == "tamper")
        url.replace("B0PW000001", "B0PW000002");

    const Fetched reply = fetch(*m_proxied, QUrl::fromEncoded(url, QUrl::StrictMode));
    QCOMPARE(reply.status, status);
    const QDomElement root = documentRoot(reply.body);
    QVERIFY(!root.isNull());
    QCOMPARE(text(root, "Error/Code"), code);
    QCOMPARE(items(root).size(), status == 200 ? 1 : 0);

    QCOMPARE(store().requestCount(), 1);
    const SimulatedRequest logged = store().requestLog().constFirst();
    QCOMPARE(logged.signatureValid, fault.isEmpty() && code.isEmpty());
    QCOMPARE(logged.httpStatus, status);
    QCOMPARE(logged.rejection, code);
}

void TestSimulatedStore::responseGroupsChooseTheElements_data()
{
    QTest::addColumn<QString>("responseGroup");
    QTest::addColumn<bool>("attributes");
    QTest::addColumn<bool>("images");
    QTest::addColumn<bool>("offers");

    QTest::newRow("price only") << "OfferFull" << false << false << true;
    QTest::newRow("full lookup") << FullGroups << true << true << true;
    QTest::newRow("attributes only") << "ItemAttributes" << true << false << false;
}

// An unknown ASIN is reported beside the items found, which keep the order
// they were asked in.
void TestSimulatedStore::responseGroupsChooseTheElements()
{
    QFETCH(QString, responseGroup);
    QFETCH(bool, attributes);
    QFETCH(bool, images);
    QFETCH(bool, offers);

    const Fetched reply
        = fetch(*m_proxied, lookupUrl("fr", "B0PW000006,B0NOSUCH00,B0PW000001", responseGroup));
    QCOMPARE(reply.status, 200);
    const QDomElement root = documentRoot(reply.body);
    QCOMPARE(root.tagName(), QStringLiteral("ItemLookupResponse"));
    QCOMPARE(root.attribute("xmlns"),
        QStringLiteral("http://webservices.amazon.com/AWSECommerceService/2011-08-01"));
    QCOMPARE(text(root, "Items/Request/Errors/Error/Code"), QString("AWS.InvalidParameterValue"));
    QVERIFY(text(root, "Items/Request/Errors/Error/Message").startsWith("B0NOSUCH00"));
    const QList<QDomElement> returned = items(root);
    QCOMPARE(returned.size(), 2);
    QCOMPARE(text(returned.at(0), "ASIN"), QString("B0PW000006"));
    QCOMPARE(text(returned.at(1), "ASIN"), QString("B0PW000001"));
    for (const QDomElement& item : returned) {
        QCOMPARE(!element(item, "ItemAttributes/Title").isNull(), attributes);
        QCOMPARE(!element(item, "ItemAttributes/ListPrice/Amount").isNull(), attributes);
        QCOMPARE(!element(item, "SmallImage/URL").isNull(), images);
        QCOMPARE(!element(item, "ImageSets/ImageSet/LargeImage/URL").isNull(), images);
        QCOMPARE(!element(item, OfferPrice + "/Amount").isNull(), offers);
        QCOMPARE(!element(item, "OfferSummary/LowestNewPrice/Amount").isNull(), offers);
    }
}

void TestSimulatedStore::formattedPricesPerStore_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("formatted");

    const auto row = [](const char* locale, qint64 amount, const char* currency, const char* text) {
        QTest::addRow("%s %s", locale, text)
            << QString(locale) << amount << QString(currency) << QString::fromUtf8(text);
    };
    row("us", 1999, "USD", "$19.99");
    row("us", 129999, "USD", "$1,299.99");
    row("ca", 2499, "CAD", "CDN$ 24.99");
    row("uk", 1299, "GBP", "\u00A312.99");
    row("de", 1999, "EUR", "EUR 19,99");
    row("fr", 129905, "EUR", "EUR 1.299,05");
    row("jp", 1980, "JPY", "\uFFE5 1,980"); // yen undivided
}

void TestSimulatedStore::formattedPricesPerStore()
{
    QFETCH(QString, locale);
    QFETCH(qint64, amount);
    QFETCH(QString, currency);
    QFETCH(QString, formatted);

    QVERIFY(store().setPrice(locale, "B0PW000001", amount));
    const QDomElement price = element(lookupItem(locale, "B0PW000001"), OfferPrice);
    QCOMPARE(text(price, "Amount"), QString::number(amount));
    QCOMPARE(text(price, "CurrencyCode"), currency);
    QCOMPARE(text(price, "FormattedPrice"), formatted);
}

void TestSimulatedStore::catalogueFileLoads()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("catalogue.json");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({ "stores": {
        "de": [ { "asin": "B0FILE0001", "title": "Gänseblümchen-Tasse", "price": 1250,
                  "listPrice": 1500, "stock": 3, "images": "sets-only" },
                { "asin": "B0FILE0002", "title": "Nur gebraucht", "lowestUsedPrice": 700 } ],
        "jp": [ { "asin": "B0FILE0003", "title": "急須", "price": 2980, "stock": 1,
                  "offerListingId": "jp+listing/1=", "superSaverShipping": false } ] } })");
    file.close();

    QString error;
    QVERIFY2(store().loadCatalogue(path, &error), qPrintable(error));
    QCOMPARE(store().asins("us"), QStringList());
    QCOMPARE(store().asins("de"), (QStringList { "B0FILE0001", "B0FILE0002" }));
    const SimulatedItem mug = *store().item("de", "B0FILE0001");
    QCOMPARE(mug.title, QStringLiteral("G\u00E4nsebl\u00FCmchen-Tasse"));
    QCOMPARE(mug.listPrice, 1500);
    QCOMPARE(mug.images, SimulatedItem::ImageStyle::SetsOnly);
    QVERIFY(mug.hasOffer());
    QVERIFY(!store().item("de", "B0FILE0002")->hasOffer());

    const QDomElement teapot = lookupItem("jp", "B0FILE0003");
    QCOMPARE(text(teapot, "ItemAttributes/Title"), QStringLiteral("\u6025\u9808"));
    QCOMPARE(text(teapot, "Offers/Offer/OfferListing/OfferListingId"), QString("jp+listing/1="));
    QCOMPARE(
        text(teapot, "Offers/Offer/OfferListing/IsEligibleForSuperSaverShipping"), QString("0"));

    // What the store writes back reads in again unchanged.
    const QByteArray written = store().catalogueJson();
    QVERIFY(store().loadCatalogueJson(written, &error));
    QCOMPARE(store().catalogueJson(), written);
}

void TestSimulatedStore::invalidCatalogueFileIsRefused_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("errorPart");

    const auto item = [](const char* fields) {
        return QByteArray(R"({ "stores": { "us": [ { "asin": "B0PW000001")") + fields + "} ] } }";
    };
    QTest::newRow("not json") << QByteArray("{ stores: ") << "JSON";
    QTest::newRow("unknown store") << QByteArray(R"({ "stores": { "es": [] } })") << "es";
    QTest::newRow("bad asin") << QByteArray(
        R"({ "stores": { "us": [ { "asin": "b0pw000001" } ] } })")
                              << "asin";
    QTest::newRow("negative price") << item(R"(, "price": -5)") << "price";
    QTest::newRow("fractional amount") << item(R"(, "price": 19.99)") << "price";
    QTest::newRow("unknown field") << item(R"(, "prise": 5)") << "prise";
    QTest::newRow("twice in one store") << item(R"(}, { "asin": "B0PW000001")") << "twice";
}

void TestSimulatedStore::invalidCatalogueFileIsRefused()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, errorPart);

    const QByteArray before = store().catalogueJson();
    QString error;
    QVERIFY(!store().loadCatalogueJson(json, &error));
    QVERIFY2(error.contains(errorPart), qPrintable(error));
    QCOMPARE(store().catalogueJson(), before);
    QVERIFY(!store().loadCatalogue("/nonexistent/catalogue.json", &error));
    QVERIFY(error.contains("/nonexistent/catalogue.json"));
}

void TestSimulatedStore::tickScheduleIsDeterministicForASeed()
{
    SimulatedStore first;
    SimulatedStore second;
    SimulatedStore other;
    first.setSeed(42);
    second.setSeed(42);
    other.setSeed(43);
    const QByteArray start = first.catalogueJson();
    QSignalSpy changed(&first, &SimulatedStore::catalogueChanged);
    first.advanceTicks(30);
    for (int i = 0; i < 30; ++i)
        second.advanceTicks(1);
    other.advanceTicks(30);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(first.tickCount(), 30);
    QCOMPARE(first.catalogueJson(), second.catalogueJson());
    QVERIFY(first.catalogueJson() != start);
    QVERIFY(first.catalogueJson() != other.catalogueJson());

    // The sold-out item comes back somewhere; prices stay whole amounts of
    // at least 100 units, yen in tens.
    bool restocked = false;
    for (const QString& locale : SimulatedStore::storeLocales()) {
        restocked = restocked || first.item(locale, "B0PW000003")->hasOffer();
        for (const QString& asin : first.asins(locale)) {
            const SimulatedItem item = *first.item(locale, asin);
            QVERIFY(item.price == 0 || item.price >= 100);
            QVERIFY(item.stock >= 0);
            if (locale == QLatin1String("jp"))
                QCOMPARE(item.price % 10, 0);
        }
    }
    QVERIFY(restocked);
}

void TestSimulatedStore::controlInterfaceRoundTrip()
{
    const Fetched changed = control("PATCH", "/control/items/uk/B0PW000001",
        R"({ "price": 1111, "stock": 4, "availability": "In stock" })");
    QCOMPARE(changed.status, 200);
    QCOMPARE(jsonObject(changed.body).value("price").toInt(), 1111);
    const QDomElement listing
        = element(lookupItem("uk", "B0PW000001"), "Offers/Offer/OfferListing");
    QCOMPARE(text(listing, "Price/Amount"), QString("1111"));
    QCOMPARE(text(listing, "Availability"), QString("In stock"));

    QCOMPARE(control("PUT", "/control/items/ca/B0NEW00001",
                 R"({ "title": "Érable", "price": 999, "stock": 2 })")
                 .status,
        200);
    QVERIFY(store().item("ca", "B0NEW00001")->hasOffer());
    QCOMPARE(
        jsonObject(control("GET", "/control/items/ca/B0NEW00001").body).value("title").toString(),
        QStringLiteral("\u00C9rable"));
    QCOMPARE(control("DELETE", "/control/items/ca/B0NEW00001").status, 200);
    QVERIFY(!store().item("ca", "B0NEW00001"));

    const Fetched injected = control("POST", "/control/faults", R"({ "kind": "http503" })");
    QCOMPARE(jsonObject(injected.body).value("faults")[0]["kind"].toString(), QString("http503"));
    QCOMPARE(fetch(*m_proxied, lookupUrl("us", "B0PW000001")).status, 503);

    // Control requests are not logged: after the first lookup comes the 503.
    const QJsonArray log
        = jsonObject(control("GET", "/control/log?since=1").body).value("requests").toArray();
    QCOMPARE(log.size(), 1);
    const QJsonObject lookup = log.at(0).toObject();
    QCOMPARE(lookup.value("host").toString(), Global::ApiHost("us"));
    QCOMPARE(lookup.value("target").toString(), QString("product-api"));
    QCOMPARE(lookup.value("signatureValid").toBool(), true);
    QCOMPARE(lookup.value("httpStatus").toInt(), 503);
    QCOMPARE(lookup.value("fault").toString(), QString("http503"));
    QVERIFY(lookup.value("parameters").toArray().contains(QJsonArray { "ItemId", "B0PW000001" }));

    QCOMPARE(control("DELETE", "/control/log").status, 200);
    QCOMPARE(store().requestCount(), 0);
}

void TestSimulatedStore::controlInterfaceRefusesBadInput_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");

    const auto row = [](const char* method, const char* path, const char* body, int status) {
        QTest::addRow("%s %s %s", method, path, body)
            << QByteArray(method) << QString(path) << QByteArray(body) << status;
    };
    row("GET", "/control/nothing", "", 404);
    row("DELETE", "/control/status", "", 405);
    row("PATCH", "/control/items/us/B0PW000001", "{price", 400);
    row("PATCH", "/control/items/us/B0NOSUCH00", R"({"price":1})", 404);
    row("POST", "/control/settings", R"({"tickSeconds":-1})", 400);
    row("POST", "/control/faults", R"({"kind":"http500","target":"mars"})", 400);
    row("PUT", "/control/version", R"({"LatestVersion":2})", 400);
}

void TestSimulatedStore::controlInterfaceRefusesBadInput()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    QFETCH(int, status);

    const QByteArray before = store().catalogueJson();
    const Fetched reply = control(method, path, body);
    QCOMPARE(reply.status, status);
    QVERIFY(!jsonObject(reply.body).value("error").toString().isEmpty());
    QCOMPARE(store().catalogueJson(), before);
    QVERIFY(store().pendingFaults().isEmpty());
    QCOMPARE(store().tickSeconds(), 0);
}

// What the product client's fault tests rely on: pieces really arrive apart,
// a truncated body announces its whole length, faults apply in order for
// their count and leave images alone, and an abandoned reply harms nothing.
void TestSimulatedStore::faultsAreObservable()
{
    const QUrl url = lookupUrl("de", "B0PW000001,B0PW000006");
    const Fetched normal = fetch(*m_proxied, url);
    SimulatedFault pieces;
    pieces.kind = SimulatedFault::Kind::Pieces;
    pieces.pieces = 6;
    store().injectFault(pieces);
    store().injectFault(SimulatedFault::Kind::TruncatedBody);
    store().injectFault(SimulatedFault::Kind::Http500, 2);
    store().injectFault(SimulatedFault::Kind::Http503);

    const Fetched split = fetch(*m_proxied, url);
    QVERIFY2(split.readyReads >= 3, qPrintable(QString::number(split.readyReads)));
    QCOMPARE(split.body.size(), normal.body.size());
    const Fetched truncated = fetch(*m_proxied, url);
    QCOMPARE(truncated.error, QNetworkReply::RemoteHostClosedError);
    QCOMPARE(truncated.contentLength, normal.body.size());
    QVERIFY(!truncated.body.isEmpty() && truncated.body.size() < normal.body.size());
    QCOMPARE(fetch(*m_proxied, QUrl(SimulatedStore::imageUrl("B0PW000001", "small"))).status, 200);
    QList<int> statuses;
    for (int i = 0; i < 4; ++i)
        statuses << fetch(*m_proxied, url).status;
    QCOMPARE(statuses, QList<int>({ 500, 500, 503, 200 }));
    QCOMPARE(store().requestLog().at(1).fault, QString("pieces"));
    QCOMPARE(store().requestLog().at(2).fault, QString("truncated-body"));

    // A client giving up halfway through the pieces leaves the store serving.
    pieces.delayMs = 150;
    store().injectFault(pieces);
    QCOMPARE(fetch(*m_proxied, url, 100).error, QNetworkReply::OperationCanceledError);
    QTest::qWait(6 * 150);
    QCOMPARE(items(documentRoot(fetch(*m_proxied, url).body)).size(), 2);
}

void TestSimulatedStore::imageIsServedAsPng_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("side");

    QTest::newRow("swatch") << "swatch" << 30;
    QTest::newRow("small") << "small" << 75;
    QTest::newRow("medium") << "medium" << 160;
    QTest::newRow("large") << "large" << 500;
}

void TestSimulatedStore::imageIsServedAsPng()
{
    QFETCH(QString, size);
    QFETCH(int, side);

    const QString asin("B0PW000009");
    const Fetched reply = fetch(*m_proxied, QUrl(SimulatedStore::imageUrl(asin, size)));
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.contentType, QByteArray("image/png"));
    QImage image;
    QVERIFY(image.loadFromData(reply.body, "PNG"));
    QCOMPARE(image.size(), QSize(side, side));
    QCOMPARE(store().requestLog().constFirst().target, SimulatedRequest::Target::Image);
    // Another product gets another picture.
    QVERIFY(
        fetch(*m_proxied, QUrl(SimulatedStore::imageUrl("B0PW000001", size))).body != reply.body);
    // The image URLs in a reply are the ones served.
    QCOMPARE(
        text(lookupItem("us", asin), "MediumImage/URL"), SimulatedStore::imageUrl(asin, "medium"));
    const QString huge = QStringLiteral("http://%1/images/P/%2.huge.png");
    QCOMPARE(fetch(*m_proxied, QUrl(huge.arg(SimulatedStore::imageHost(), asin))).status, 404);
}

void TestSimulatedStore::unknownHostGets404()
{
    const Fetched reply = fetch(*m_proxied, QUrl("http://www.example.org/index.html"));
    QCOMPARE(reply.status, 404);
    QCOMPARE(reply.error, QNetworkReply::ContentNotFoundError);
    QCOMPARE(
        fetch(*m_proxied, QUrl("http://" + Global::ApiHost("us") + "/other/path")).status, 404);
    QCOMPARE(store().requestCount(), 2);
    QCOMPARE(store().requestLog().constFirst().target, SimulatedRequest::Target::Unknown);
    QCOMPARE(store().requestLog().constFirst().host, QString("www.example.org"));
}

void TestSimulatedStore::vendorService_data()
{
    QTest::addColumn<bool>("email");
    QTest::addColumn<QString>("signingKey"); // of the store; empty: the configured one
    QTest::addColumn<int>("clockAhead"); // of the store's clock, seconds
    QTest::addColumn<QByteArray>("fault"); // kind of a fault for the vendor service
    QTest::addColumn<QString>("error"); // start of the client's error; empty: none

    const auto row = [](const char* name, bool email, const char* key, int clockAhead,
                         const char* fault, const char* error) {
        QTest::newRow(name) << email << QString(key) << clockAhead << QByteArray(fault)
                            << QString(error);
    };
    row("version", false, "", 0, "", "");
    row("e-mail into the mbox", true, "", 0, "", "");
    row("wrong key", true, "another key", 0, "", "The request signature does not match.");
    row("16 minutes late", false, "", 960, "", "The request has expired");
    row("error reply", true, "", 0, "error-reply", "Mailbox full");
    row("http 500", true, "", 0, "http500", "Network error: (401)");
}

// Seen through the app's own client, whose signing shares no code with the
// store's check.
void TestSimulatedStore::vendorService()
{
    QFETCH(bool, email);
    QFETCH(QString, signingKey);
    QFETCH(int, clockAhead);
    QFETCH(QByteArray, fault);
    QFETCH(QString, error);
    const QString mbox = m_scratch.filePath("sim.mbox");
    QFile::remove(mbox);
    store().setMailboxFile(mbox);
    store().setVendorSigningKey(signingKey);
    store().setClock([clockAhead] { return QDateTime::currentDateTimeUtc().addSecs(clockAhead); });
    const QByteArray version = R"({"LatestVersion": "2.0"})";
    QCOMPARE(control("PUT", "/control/version", version).status, 200);
    const QByteArray injected = R"({"target": "vendor", "message": "Mailbox full", "kind": ")";
    if (!fault.isEmpty())
        QCOMPARE(control("POST", "/control/faults", injected + fault + "\"}").status, 200);

    ServiceManager client;
    QSignalSpy errors(&client, &ServiceManager::Error);
    QSignalSpy versions(&client, &ServiceManager::VersionInfoAvailable);
    if (email)
        client.QuerySendEmail("ann@example.org", "Prix \u00E9", "From me: \u00E9\r\n>From you");
    else
        client.QueryVersion();
    QTRY_VERIFY(errors.size() + versions.size() + store().deliveredMailCount() > 0);

    const SimulatedRequest logged = store().requestLog().constLast();
    QCOMPARE(logged.target, SimulatedRequest::Target::VendorService);
    QCOMPARE(logged.signatureValid, signingKey.isEmpty() && clockAhead == 0);
    QCOMPARE(errors.size(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty()) {
        QVERIFY2(errors[0][0].toString().startsWith(error), qPrintable(errors[0][0].toString()));
        QCOMPARE(errors[0][1].toString(), email ? "SendEmail" : "Version");
        QVERIFY(!QFile::exists(mbox));
    } else if (!email) {
        QCOMPARE(versions[0][0].toMap().value("LatestVersion"), QVariant("2.0"));
        QVERIFY(
            versions[0][0].toMap().value("DownloadLink_linux").toString().startsWith("http://"));
    } else {
        QFile file(mbox);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray entry = file.readAll();
        QVERIFY2(entry.startsWith("From alerts@" + Global::DomainName.toUtf8() + " "), entry);
        for (const QByteArray& part : { QByteArray("\nTo: ann@example.org\n"),
                 "\nSubject: =?UTF-8?B?" + QByteArray("Prix \xC3\xA9").toBase64() + "?=\n",
                 QByteArray("\nContent-Type: text/plain; charset=UTF-8\n"),
                 QByteArray("\n\n>From me: \xC3\xA9\n>>From you\n\n") })
            QVERIFY2(entry.contains(part), entry);
        const QJsonArray mails
            = jsonObject(control("GET", "/control/mail").body)["mails"].toArray();
        QCOMPARE(mails.size(), 1);
        QCOMPARE(mails[0]["subject"].toString(), QString("Prix \u00E9"));
    }
}

void TestSimulatedStore::processPrintsItsProxyAndServes()
{
    const QString program = QCoreApplication::applicationDirPath() + "/pricewarden-sim";
    if (!QFile::exists(program))
        QSKIP("pricewarden-sim is not built beside the tests");
    QProcess process;
    process.start(program, { "--port", "0", "--tick", "0", "--seed", "5" });
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), 5000);
    const QString firstLine = QString::fromLatin1(process.readLine()).trimmed();
    QVERIFY2(firstLine.startsWith("http_proxy=http://127.0.0.1:"), qPrintable(firstLine));
    const QUrl proxy(firstLine.mid(QStringLiteral("http_proxy=").size()));

    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, proxy.host(), quint16(proxy.port())));
    const Fetched reply = fetch(manager, lookupUrl("jp", "B0PW000009", "OfferFull"));
    QCOMPARE(reply.status, 200);
    QCOMPARE(text(items(documentRoot(reply.body)).value(0), OfferPrice + "/Amount"),
        QString::number(store().item("jp", "B0PW000009")->price));
    const Fetched status = fetch(*m_direct, QUrl(proxy.toString() + "/control/status"));
    QCOMPARE(jsonObject(status.body).value("seed").toInt(), 5);

    process.terminate();
    QVERIFY(WaitForExit(process, 5000));
    const QString logged = QString::fromUtf8(process.readAllStandardError());
    QVERIFY(logged.contains("ItemId=B0PW000009"));
    QVERIFY(!logged.contains("Signature="));
    QVERIFY(!logged.contains(Global::SecretKeyString));
}

QTEST_GUILESS_MAIN(TestSimulatedStore)
#include "tst_simulatedstore.moc"
