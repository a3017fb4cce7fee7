// The simulated store seen from outside: through its proxy side with a
// QNetworkAccessManager, and through its JSON control interface.

#include "Global.h"
#include "ProcessWait.h"
#include "ScratchEnvironment.h"
#include "SimulatedStore.h"
#include "SimulatedStoreSession.h"

#include <QDomDocument>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QString ApiPath = QStringLiteral("/onca/xml");

// Written here from the service's rules rather than taken from the store,
// so the test checks the store's verification instead of repeating it.
QByteArray encodeValue(const QString& text)
{
    QByteArray out;
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')
            || (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_'
            || byte == '~';
        if (unreserved)
            out += char(byte);
        else
            out += '%' + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
    }
    return out;
}

QString timestampText(const QDateTime& time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + QLatin1Char('Z');
}

struct SigningInput
{
    QString locale = QStringLiteral("us");
    QMap<QString, QString> parameters;
    QString secret;
    QDateTime time = QDateTime::currentDateTimeUtc();
};

QMap<QString, QString> lookupParameters(
    const QString& locale, const QString& itemIds, const QString& responseGroup)
{
    return { { QStringLiteral("Operation"), QStringLiteral("ItemLookup") },
        { QStringLiteral("ItemId"), itemIds }, { QStringLiteral("ResponseGroup"), responseGroup },
        { QStringLiteral("AWSAccessKeyId"), Global::AccessKeyString },
        { QStringLiteral("AssociateTag"), Global::AssociateIdString.value(locale) },
        { QStringLiteral("Service"), QStringLiteral("AWSECommerceService") } };
}

QUrl signedUrl(SigningInput input)
{
    const QString host = Global::ApiHost(input.locale);
    if (!input.parameters.contains(QStringLiteral("Timestamp")))
        input.parameters.insert(QStringLiteral("Timestamp"), timestampText(input.time));
    QByteArrayList pairs;
    for (auto it = input.parameters.cbegin(); it != input.parameters.cend(); ++it)
        pairs << it.key().toUtf8() + '=' + encodeValue(it.value());
    const QByteArray query = pairs.join('&');
    const QByteArray toSign = "GET\n" + host.toUtf8() + '\n' + ApiPath.toUtf8() + '\n' + query;
    const QString secret = input.secret.isEmpty() ? Global::SecretKeyString : input.secret;
    const QByteArray signature
        = QMessageAuthenticationCode::hash(toSign, secret.toUtf8(), QCryptographicHash::Sha256)
              .toBase64();
    return QUrl::fromEncoded("http://" + host.toUtf8() + ApiPath.toUtf8() + '?' + query
            + "&Signature=" + encodeValue(QString::fromLatin1(signature)),
        QUrl::StrictMode);
}

QUrl lookupUrl(const QString& locale, const QString& itemIds,
    const QString& responseGroup = QStringLiteral("ItemAttributes,OfferFull,Images"))
{
    SigningInput input;
    input.locale = locale;
    input.parameters = lookupParameters(locale, itemIds, responseGroup);
    return signedUrl(input);
}

QUrl cartUrl(const QString& locale, const QStringList& listingIds)
{
    SigningInput input;
    input.locale = locale;
    input.parameters = lookupParameters(locale, QString(), QString());
    input.parameters.remove(QStringLiteral("ItemId"));
    input.parameters.remove(QStringLiteral("ResponseGroup"));
    input.parameters.insert(QStringLiteral("Operation"), QStringLiteral("CartCreate"));
    for (int i = 0; i < listingIds.size(); ++i) {
        input.parameters.insert(QStringLiteral("Item.%1.OfferListingId").arg(i), listingIds.at(i));
        input.parameters.insert(QStringLiteral("Item.%1.Quantity").arg(i), QStringLiteral("2"));
    }
    return signedUrl(input);
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
        request.setHeader(
            QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
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
    if (!document.setContent(body))
        return {};
    return document.documentElement();
}

QList<QDomElement> items(const QDomElement& root)
{
    QList<QDomElement> result;
    for (QDomElement item = element(root, QStringLiteral("Items/Item")); !item.isNull();
         item = item.nextSiblingElement(QStringLiteral("Item")))
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
    void injectedClockDecidesExpiry_data();
    void injectedClockDecidesExpiry();
    void disabledCheckServesButLogsTheVerdict();
    void unknownAsinIsReportedBesideTheOtherItems();
    void responseGroupsChooseTheElements_data();
    void responseGroupsChooseTheElements();
    void formattedPricesPerStore_data();
    void formattedPricesPerStore();
    void itemShapes_data();
    void itemShapes();
    void titlesKeepTheirLetters();
    void cartCreateGivesAPurchaseUrlOnTheWebHost();
    void cartCreateReportsUnknownListings();
    void requestLogRecordsDecodedParameters();
    void catalogueFileLoads();
    void invalidCatalogueFileIsRefused_data();
    void invalidCatalogueFileIsRefused();
    void tickScheduleIsDeterministicForASeed();
    void tickTimerMovesPrices();
    void controlInterfaceItemRoundTrip();
    void controlInterfaceLogAndFaults();
    void controlInterfaceRefusesBadInput_data();
    void controlInterfaceRefusesBadInput();
    void faultsAreObservable_data();
    void faultsAreObservable();
    void faultLastsForItsCount();
    void silentConnectionIsReleased();
    void clientGivingUpMidFaultLeavesTheStoreServing_data();
    void clientGivingUpMidFaultLeavesTheStoreServing();
    void imageIsServedAsPng_data();
    void imageIsServedAsPng();
    void unknownHostGets404();
    void sessionRestoresProxyVariables();
    void processPrintsItsProxyAndServes();

private:
    SimulatedStore& store() { return m_session->store(); }
    QUrl controlUrl(const QString& path) const;
    Fetched control(
        const QByteArray& method, const QString& path, const QByteArray& body = QByteArray());

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

QUrl TestSimulatedStore::controlUrl(const QString& path) const
{
    return QUrl(m_session->proxyUrl() + path);
}

Fetched TestSimulatedStore::control(
    const QByteArray& method, const QString& path, const QByteArray& body)
{
    return fetch(*m_direct, controlUrl(path), 5000, method, body);
}

void TestSimulatedStore::signatureChecks_data()
{
    QTest::addColumn<QString>("secret");
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<QString>("accessKey");
    QTest::addColumn<bool>("tamper");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("code");

    const QString key = QStringLiteral("(configured)");
    QTest::newRow("correct") << QString() << 0 << key << false << 200 << QString();
    QTest::newRow("wrong secret") << QStringLiteral("not the secret") << 0 << key << false << 403
                                  << QStringLiteral("SignatureDoesNotMatch");
    QTest::newRow("parameter changed after signing")
        << QString() << 0 << key << true << 403 << QStringLiteral("SignatureDoesNotMatch");
    QTest::newRow("stale timestamp")
        << QString() << 16 * 60 << key << false << 403 << QStringLiteral("RequestExpired");
    QTest::newRow("timestamp from the future")
        << QString() << -16 * 60 << key << false << 403 << QStringLiteral("RequestExpired");
    QTest::newRow("14 minutes old") << QString() << 14 * 60 << key << false << 200 << QString();
    QTest::newRow("unknown access key") << QString() << 0 << QStringLiteral("AKIAWRONGWRONGWRONG0")
                                        << false << 403 << QStringLiteral("InvalidClientTokenId");
}

void TestSimulatedStore::signatureChecks()
{
    QFETCH(QString, secret);
    QFETCH(int, ageSeconds);
    QFETCH(QString, accessKey);
    QFETCH(bool, tamper);
    QFETCH(int, status);
    QFETCH(QString, code);

    SigningInput input;
    input.parameters = lookupParameters(
        QStringLiteral("us"), QStringLiteral("B0PW000001"), QStringLiteral("OfferFull"));
    if (accessKey != QLatin1String("(configured)"))
        input.parameters.insert(QStringLiteral("AWSAccessKeyId"), accessKey);
    input.secret = secret;
    input.time = QDateTime::currentDateTimeUtc().addSecs(-ageSeconds);
    QUrl url = signedUrl(input);
    if (tamper)
        url = QUrl::fromEncoded(
            url.toEncoded().replace("B0PW000001", "B0PW000002"), QUrl::StrictMode);

    const Fetched reply = fetch(*m_proxied, url);
    QCOMPARE(reply.status, status);
    const QDomElement root = documentRoot(reply.body);
    QVERIFY(!root.isNull());
    QCOMPARE(text(root, QStringLiteral("Error/Code")), code);
    if (status == 200)
        QCOMPARE(items(root).size(), 1);

    QCOMPARE(store().requestCount(), 1);
    const SimulatedRequest logged = store().requestLog().constFirst();
    QCOMPARE(logged.signatureValid, status == 200);
    QCOMPARE(logged.httpStatus, status);
    QCOMPARE(logged.rejection, code);
}

void TestSimulatedStore::injectedClockDecidesExpiry_data()
{
    QTest::addColumn<int>("clockAheadSeconds");
    QTest::addColumn<int>("status");

    QTest::newRow("same time") << 0 << 200;
    QTest::newRow("15 minutes later") << 15 * 60 << 200;
    QTest::newRow("15 minutes and 1 second later") << 15 * 60 + 1 << 403;
    QTest::newRow("a day later") << 86400 << 403;
}

void TestSimulatedStore::injectedClockDecidesExpiry()
{
    QFETCH(int, clockAheadSeconds);
    QFETCH(int, status);

    const QDateTime signedAt(QDate(2026, 12, 5), QTime(12, 16, 8), Qt::UTC);
    store().setClock(
        [signedAt, clockAheadSeconds]() { return signedAt.addSecs(clockAheadSeconds); });
    SigningInput input;
    input.parameters = lookupParameters(
        QStringLiteral("us"), QStringLiteral("B0PW000001"), QStringLiteral("OfferFull"));
    input.time = signedAt;
    QCOMPARE(fetch(*m_proxied, signedUrl(input)).status, status);
}

void TestSimulatedStore::disabledCheckServesButLogsTheVerdict()
{
    store().setSignatureCheckEnabled(false);
    SigningInput input;
    input.parameters = lookupParameters(
        QStringLiteral("uk"), QStringLiteral("B0PW000001"), QStringLiteral("OfferFull"));
    input.locale = QStringLiteral("uk");
    input.secret = QStringLiteral("wrong");
    const Fetched reply = fetch(*m_proxied, signedUrl(input));
    QCOMPARE(reply.status, 200);
    QCOMPARE(items(documentRoot(reply.body)).size(), 1);
    QCOMPARE(store().requestLog().constFirst().signatureValid, false);
}

void TestSimulatedStore::unknownAsinIsReportedBesideTheOtherItems()
{
    const Fetched reply = fetch(*m_proxied,
        lookupUrl(QStringLiteral("fr"), QStringLiteral("B0PW000006,B0NOSUCH00,B0PW000001")));
    QCOMPARE(reply.status, 200);
    const QDomElement root = documentRoot(reply.body);
    QCOMPARE(root.tagName(), QStringLiteral("ItemLookupResponse"));
    QCOMPARE(root.attribute(QStringLiteral("xmlns")),
        QStringLiteral("http://webservices.amazon.com/AWSECommerceService/2011-08-01"));
    QVERIFY(!element(root, QStringLiteral("OperationRequest/RequestId")).isNull());
    QCOMPARE(text(root, QStringLiteral("Items/Request/IsValid")), QStringLiteral("True"));
    QCOMPARE(text(root, QStringLiteral("Items/Request/Errors/Error/Code")),
        QStringLiteral("AWS.InvalidParameterValue"));
    QVERIFY(text(root, QStringLiteral("Items/Request/Errors/Error/Message"))
                .contains(QStringLiteral("B0NOSUCH00")));
    const QList<QDomElement> returned = items(root);
    QCOMPARE(returned.size(), 2);
    QCOMPARE(text(returned.at(0), QStringLiteral("ASIN")), QStringLiteral("B0PW000006"));
    QCOMPARE(text(returned.at(1), QStringLiteral("ASIN")), QStringLiteral("B0PW000001"));
}

void TestSimulatedStore::responseGroupsChooseTheElements_data()
{
    QTest::addColumn<QString>("responseGroup");
    QTest::addColumn<bool>("attributes");
    QTest::addColumn<bool>("images");
    QTest::addColumn<bool>("offers");

    QTest::newRow("price only") << QStringLiteral("OfferFull") << false << false << true;
    QTest::newRow("full lookup") << QStringLiteral("ItemAttributes,OfferFull,Images") << true
                                 << true << true;
    QTest::newRow("attributes only") << QStringLiteral("ItemAttributes") << true << false << false;
}

void TestSimulatedStore::responseGroupsChooseTheElements()
{
    QFETCH(QString, responseGroup);
    QFETCH(bool, attributes);
    QFETCH(bool, images);
    QFETCH(bool, offers);

    const Fetched reply = fetch(
        *m_proxied, lookupUrl(QStringLiteral("us"), QStringLiteral("B0PW000001"), responseGroup));
    const QList<QDomElement> returned = items(documentRoot(reply.body));
    QCOMPARE(returned.size(), 1);
    const QDomElement item = returned.constFirst();
    QCOMPARE(!element(item, QStringLiteral("ItemAttributes/Title")).isNull(), attributes);
    QCOMPARE(
        !element(item, QStringLiteral("ItemAttributes/ListPrice/Amount")).isNull(), attributes);
    QCOMPARE(!element(item, QStringLiteral("SmallImage/URL")).isNull(), images);
    QCOMPARE(!element(item, QStringLiteral("ImageSets/ImageSet/LargeImage/URL")).isNull(), images);
    QCOMPARE(
        !element(item, QStringLiteral("Offers/Offer/OfferListing/Price/Amount")).isNull(), offers);
    QCOMPARE(!element(item, QStringLiteral("OfferSummary/LowestNewPrice/Amount")).isNull(), offers);
}

void TestSimulatedStore::formattedPricesPerStore_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("formatted");

    QTest::newRow("us") << "us" << qint64(1999) << "USD"
                        << "$19.99";
    QTest::newRow("us thousands") << "us" << qint64(129999) << "USD"
                                  << "$1,299.99";
    QTest::newRow("ca") << "ca" << qint64(2499) << "CAD"
                        << "CDN$ 24.99";
    QTest::newRow("uk") << "uk" << qint64(1299) << "GBP"
                        << "\u00A312.99";
    QTest::newRow("de") << "de" << qint64(1999) << "EUR"
                        << "EUR 19,99";
    QTest::newRow("fr thousands") << "fr" << qint64(129905) << "EUR"
                                  << "EUR 1.299,05";
    QTest::newRow("jp yen undivided") << "jp" << qint64(1980) << "JPY"
                                      << "\uFFE5 1,980";
    QTest::newRow("jp small") << "jp" << qint64(500) << "JPY"
                              << "\uFFE5 500";
}

void TestSimulatedStore::formattedPricesPerStore()
{
    QFETCH(QString, locale);
    QFETCH(qint64, amount);
    QFETCH(QString, currency);
    QFETCH(QString, formatted);

    const QString asin = QStringLiteral("B0PW000001");
    QVERIFY(store().setPrice(locale, asin, amount));
    QVERIFY(store().setLowestUsedPrice(locale, asin, amount));
    const QDomElement item
        = items(documentRoot(fetch(*m_proxied, lookupUrl(locale, asin)).body)).value(0);
    for (const QString& path : { QStringLiteral("Offers/Offer/OfferListing/Price"),
             QStringLiteral("OfferSummary/LowestUsedPrice") }) {
        QCOMPARE(text(item, path + QStringLiteral("/Amount")), QString::number(amount));
        QCOMPARE(text(item, path + QStringLiteral("/CurrencyCode")), currency);
        QCOMPARE(text(item, path + QStringLiteral("/FormattedPrice")), formatted);
    }
}

void TestSimulatedStore::itemShapes_data()
{
    QTest::addColumn<QString>("asin");
    QTest::addColumn<bool>("offer");
    QTest::addColumn<bool>("lowestNew");
    QTest::addColumn<bool>("lowestUsed");
    QTest::addColumn<bool>("listPrice");
    QTest::addColumn<QString>("images"); // "direct", "sets-only" or "none"

    QTest::newRow("in stock, everything")
        << "B0PW000001" << true << true << true << true << "direct";
    QTest::newRow("no list price, image sets only")
        << "B0PW000002" << true << true << false << false << "sets-only";
    QTest::newRow("out of stock") << "B0PW000003" << false << false << false << true << "direct";
    QTest::newRow("used only") << "B0PW000004" << false << false << true << false << "direct";
    QTest::newRow("third-party only") << "B0PW000005" << false << true << true << true << "direct";
    QTest::newRow("no images") << "B0PW000007" << true << false << false << false << "none";
}

void TestSimulatedStore::itemShapes()
{
    QFETCH(QString, asin);
    QFETCH(bool, offer);
    QFETCH(bool, lowestNew);
    QFETCH(bool, lowestUsed);
    QFETCH(bool, listPrice);
    QFETCH(QString, images);

    for (const QString& locale : SimulatedStore::storeLocales()) {
        const QDomElement item
            = items(documentRoot(fetch(*m_proxied, lookupUrl(locale, asin)).body)).value(0);
        QCOMPARE(text(item, QStringLiteral("ASIN")), asin);
        const QDomElement listing = element(item, QStringLiteral("Offers/Offer/OfferListing"));
        QCOMPARE(!listing.isNull(), offer);
        if (offer) {
            QVERIFY(text(listing, QStringLiteral("Price/Amount")).toLongLong() > 0);
            QVERIFY(!text(listing, QStringLiteral("OfferListingId")).isEmpty());
            QVERIFY(!text(listing, QStringLiteral("Availability")).isEmpty());
            QCOMPARE(text(listing, QStringLiteral("IsEligibleForSuperSaverShipping")),
                QStringLiteral("1"));
        }
        QCOMPARE(!element(item, QStringLiteral("OfferSummary/LowestNewPrice")).isNull(), lowestNew);
        QCOMPARE(
            !element(item, QStringLiteral("OfferSummary/LowestUsedPrice")).isNull(), lowestUsed);
        QCOMPARE(!element(item, QStringLiteral("ItemAttributes/ListPrice")).isNull(), listPrice);
        QCOMPARE(!element(item, QStringLiteral("MediumImage/URL")).isNull(), images == "direct");
        QCOMPARE(!element(item, QStringLiteral("ImageSets/ImageSet/MediumImage/URL")).isNull(),
            images != "none");
    }
}

void TestSimulatedStore::titlesKeepTheirLetters()
{
    const auto title = [this](const QString& locale) {
        const Fetched reply = fetch(*m_proxied, lookupUrl(locale, QStringLiteral("B0PW000002")));
        return text(
            items(documentRoot(reply.body)).value(0), QStringLiteral("ItemAttributes/Title"));
    };
    QCOMPARE(title(QStringLiteral("de")),
        QStringLiteral("Reisetagebuch, handgebunden \u2013 Gr\u00F6\u00DFe A5"));
    QVERIFY(title(QStringLiteral("fr")).contains(QStringLiteral("reli\u00E9 \u00E0 la main")));
    QVERIFY(title(QStringLiteral("jp")).startsWith(QStringLiteral("\u624B\u88FD\u672C")));
    QCOMPARE(title(QStringLiteral("us")), QStringLiteral("Hand-Bound Travel Journal"));
}

void TestSimulatedStore::cartCreateGivesAPurchaseUrlOnTheWebHost()
{
    const QString listing
        = store().item(QStringLiteral("de"), QStringLiteral("B0PW000001"))->offerListingId;
    QVERIFY(listing.contains(QLatin1Char('=')));
    const Fetched reply = fetch(*m_proxied, cartUrl(QStringLiteral("de"), { listing }));
    QCOMPARE(reply.status, 200);
    const QDomElement root = documentRoot(reply.body);
    QCOMPARE(root.tagName(), QStringLiteral("CartCreateResponse"));
    QCOMPARE(text(root, QStringLiteral("Cart/Request/IsValid")), QStringLiteral("True"));
    QVERIFY(element(root, QStringLiteral("Cart/Request/Errors")).isNull());
    QVERIFY(!text(root, QStringLiteral("Cart/CartId")).isEmpty());
    QVERIFY(!text(root, QStringLiteral("Cart/HMAC")).isEmpty());
    const QUrl purchase(text(root, QStringLiteral("Cart/PurchaseURL")));
    QCOMPARE(purchase.host(), Global::WebHost(QStringLiteral("de")));
    QVERIFY(purchase.query().contains(Global::AssociateIdString.value(QStringLiteral("de"))));
    QCOMPARE(
        text(root, QStringLiteral("Cart/CartItems/CartItem/ASIN")), QStringLiteral("B0PW000001"));
    QCOMPARE(text(root, QStringLiteral("Cart/CartItems/CartItem/Quantity")), QStringLiteral("2"));
    QCOMPARE(store().requestLog().constFirst().operation, QStringLiteral("CartCreate"));
}

void TestSimulatedStore::cartCreateReportsUnknownListings()
{
    const Fetched reply
        = fetch(*m_proxied, cartUrl(QStringLiteral("us"), { QStringLiteral("NoSuchListing") }));
    QCOMPARE(reply.status, 200);
    const QDomElement root = documentRoot(reply.body);
    QCOMPARE(text(root, QStringLiteral("Cart/Request/Errors/Error/Code")),
        QStringLiteral("AWS.InvalidParameterValue"));
    QVERIFY(text(root, QStringLiteral("Cart/Request/Errors/Error/Message"))
                .contains(QStringLiteral("NoSuchListing")));
    QVERIFY(element(root, QStringLiteral("Cart/PurchaseURL")).isNull());

    // An out-of-stock item's listing cannot go into a cart either.
    const QString asin = QStringLiteral("B0PW000001");
    const QString listing = store().item(QStringLiteral("us"), asin)->offerListingId;
    QVERIFY(store().setStock(QStringLiteral("us"), asin, 0));
    const QDomElement soldOut
        = documentRoot(fetch(*m_proxied, cartUrl(QStringLiteral("us"), { listing })).body);
    QCOMPARE(text(soldOut, QStringLiteral("Cart/Request/Errors/Error/Code")),
        QStringLiteral("AWS.ECommerceService.ItemNotEligibleForCart"));
}

void TestSimulatedStore::requestLogRecordsDecodedParameters()
{
    QSignalSpy logged(&store(), &SimulatedStore::requestLogged);
    const QDateTime before = QDateTime::currentDateTimeUtc();
    fetch(*m_proxied,
        lookupUrl(QStringLiteral("jp"), QStringLiteral("B0PW000001,B0PW000002"),
            QStringLiteral("OfferFull")));
    QCOMPARE(logged.size(), 1);
    const SimulatedRequest request = logged.constFirst().constFirst().value<SimulatedRequest>();
    QCOMPARE(request.host, Global::ApiHost(QStringLiteral("jp")));
    QCOMPARE(request.path, ApiPath);
    QCOMPARE(request.method, QStringLiteral("GET"));
    QCOMPARE(request.target, SimulatedRequest::Target::ProductApi);
    QCOMPARE(request.locale, QStringLiteral("jp"));
    QCOMPARE(request.operation, QStringLiteral("ItemLookup"));
    QCOMPARE(request.parameter(QStringLiteral("ItemId")), QStringLiteral("B0PW000001,B0PW000002"));
    QVERIFY(request.parameter(QStringLiteral("Timestamp")).contains(QLatin1Char(':')));
    QCOMPARE(request.parameters.constFirst().first, QStringLiteral("AWSAccessKeyId"));
    QCOMPARE(request.parameters.constLast().first, QStringLiteral("Signature"));
    QVERIFY(request.signatureValid);
    QVERIFY(request.arrival >= before.addMSecs(-1));
    QCOMPARE(request.arrival.timeSpec(), Qt::UTC);

    store().clearRequestLog();
    QCOMPARE(store().requestCount(), 0);
}

void TestSimulatedStore::catalogueFileLoads()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("catalogue.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({ "stores": {
        "de": [ { "asin": "B0FILE0001", "title": "Gänseblümchen-Tasse", "price": 1250,
                  "listPrice": 1500, "stock": 3, "availability": "Sofort lieferbar",
                  "images": "sets-only" },
                { "asin": "B0FILE0002", "title": "Nur gebraucht", "lowestUsedPrice": 700 } ],
        "jp": [ { "asin": "B0FILE0003", "title": "急須", "price": 2980, "stock": 1,
                  "offerListingId": "jp+listing/1=", "superSaverShipping": false } ] } })");
    file.close();

    QString error;
    QVERIFY2(store().loadCatalogue(path, &error), qPrintable(error));
    QCOMPARE(store().asins(QStringLiteral("us")), QStringList());
    QCOMPARE(store().asins(QStringLiteral("de")),
        QStringList({ QStringLiteral("B0FILE0001"), QStringLiteral("B0FILE0002") }));
    const SimulatedItem mug = *store().item(QStringLiteral("de"), QStringLiteral("B0FILE0001"));
    QCOMPARE(mug.title, QStringLiteral("G\u00E4nsebl\u00FCmchen-Tasse"));
    QCOMPARE(mug.price, 1250);
    QCOMPARE(mug.listPrice, 1500);
    QCOMPARE(mug.stock, 3);
    QCOMPARE(mug.images, SimulatedItem::ImageStyle::SetsOnly);
    QVERIFY(mug.hasOffer());
    QVERIFY(!store().item(QStringLiteral("de"), QStringLiteral("B0FILE0002"))->hasOffer());

    const QDomElement teapot = items(
        documentRoot(
            fetch(*m_proxied, lookupUrl(QStringLiteral("jp"), QStringLiteral("B0FILE0003"))).body))
                                   .value(0);
    QCOMPARE(text(teapot, QStringLiteral("ItemAttributes/Title")), QStringLiteral("\u6025\u9808"));
    QCOMPARE(text(teapot, QStringLiteral("Offers/Offer/OfferListing/OfferListingId")),
        QStringLiteral("jp+listing/1="));
    QCOMPARE(
        text(teapot, QStringLiteral("Offers/Offer/OfferListing/IsEligibleForSuperSaverShipping")),
        QStringLiteral("0"));

    // What the store writes back reads in again unchanged.
    const QByteArray written = store().catalogueJson();
    QVERIFY(store().loadCatalogueJson(written, &error));
    QCOMPARE(store().catalogueJson(), written);
}

void TestSimulatedStore::invalidCatalogueFileIsRefused_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("errorPart");

    QTest::newRow("not json") << QByteArray("{ stores: ") << "JSON";
    QTest::newRow("no stores") << QByteArray(R"({ "items": [] })") << "stores";
    QTest::newRow("unknown store") << QByteArray(R"({ "stores": { "es": [] } })") << "es";
    QTest::newRow("bad asin") << QByteArray(
        R"({ "stores": { "us": [ { "asin": "b0pw000001" } ] } })")
                              << "asin";
    QTest::newRow("negative price")
        << QByteArray(R"({ "stores": { "us": [ { "asin": "B0PW000001", "price": -5 } ] } })")
        << "price";
    QTest::newRow("fractional amount")
        << QByteArray(R"({ "stores": { "us": [ { "asin": "B0PW000001", "price": 19.99 } ] } })")
        << "price";
    QTest::newRow("unknown field")
        << QByteArray(R"({ "stores": { "us": [ { "asin": "B0PW000001", "prise": 5 } ] } })")
        << "prise";
    QTest::newRow("twice in one store") << QByteArray(
        R"({ "stores": { "us": [ { "asin": "B0PW000001" }, { "asin": "B0PW000001" } ] } })")
                                        << "twice";
    QTest::newRow("bad image style")
        << QByteArray(R"({ "stores": { "us": [ { "asin": "B0PW000001", "images": "big" } ] } })")
        << "images";
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
    QVERIFY(!store().loadCatalogue(QStringLiteral("/nonexistent/catalogue.json"), &error));
    QVERIFY(error.contains(QStringLiteral("/nonexistent/catalogue.json")));
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

    // Over 30 ticks some price falls and the sold-out item comes back.
    const auto price = [](const SimulatedStore& store, const QString& asin) {
        return store.item(QStringLiteral("us"), asin)->price;
    };
    SimulatedStore fresh;
    bool someDrop = false;
    for (const QString& asin : fresh.asins(QStringLiteral("us")))
        someDrop = someDrop || price(first, asin) < price(fresh, asin);
    QVERIFY(someDrop);
    bool restocked = false;
    for (const QString& locale : SimulatedStore::storeLocales())
        restocked = restocked || first.item(locale, QStringLiteral("B0PW000003"))->hasOffer();
    QVERIFY(restocked);

    // Prices stay whole amounts of at least 100 units; yen move in tens.
    for (const QString& locale : SimulatedStore::storeLocales()) {
        for (const QString& asin : first.asins(locale)) {
            const SimulatedItem item = *first.item(locale, asin);
            QVERIFY(item.price == 0 || item.price >= 100);
            QVERIFY(item.stock >= 0);
            if (locale == QLatin1String("jp"))
                QCOMPARE(item.price % 10, 0);
        }
    }
}

void TestSimulatedStore::tickTimerMovesPrices()
{
    QCOMPARE(store().tickSeconds(), 0);
    QTest::qWait(50);
    QCOMPARE(store().tickCount(), 0);
    store().setTickSeconds(1);
    QTRY_VERIFY_WITH_TIMEOUT(store().tickCount() >= 1, 3000);
    store().setTickSeconds(0);
    const int ticks = store().tickCount();
    QTest::qWait(1200);
    QCOMPARE(store().tickCount(), ticks);
}

void TestSimulatedStore::controlInterfaceItemRoundTrip()
{
    const Fetched status = control("GET", QStringLiteral("/control/status"));
    QCOMPARE(status.status, 200);
    QCOMPARE(status.contentType, QByteArray("application/json"));
    const QJsonObject state = jsonObject(status.body);
    QCOMPARE(state.value(QStringLiteral("port")).toInt(), int(store().port()));
    QCOMPARE(
        state.value(QStringLiteral("apiHosts")).toObject().value(QStringLiteral("uk")).toString(),
        Global::ApiHost(QStringLiteral("uk")));

    const Fetched changed = control("PATCH", QStringLiteral("/control/items/uk/B0PW000001"),
        R"({ "price": 1111, "stock": 4, "availability": "In stock" })");
    QCOMPARE(changed.status, 200);
    QCOMPARE(jsonObject(changed.body).value(QStringLiteral("price")).toInt(), 1111);
    const QDomElement listing = element(
        items(documentRoot(
                  fetch(*m_proxied, lookupUrl(QStringLiteral("uk"), QStringLiteral("B0PW000001")))
                      .body))
            .value(0),
        QStringLiteral("Offers/Offer/OfferListing"));
    QCOMPARE(text(listing, QStringLiteral("Price/Amount")), QStringLiteral("1111"));
    QCOMPARE(text(listing, QStringLiteral("Availability")), QStringLiteral("In stock"));

    SimulatedItem direct;
    direct.asin = QStringLiteral("B0NEW00002");
    direct.price = 500;
    direct.stock = 1;
    QVERIFY(store().addItem(QStringLiteral("ca"), direct));
    QVERIFY(store().item(QStringLiteral("ca"), direct.asin)->hasOffer());
    QVERIFY(!store().addItem(QStringLiteral("es"), direct));

    const Fetched added = control("PUT", QStringLiteral("/control/items/ca/B0NEW00001"),
        R"({ "title": "Érable", "price": 999, "stock": 2 })");
    QCOMPARE(added.status, 200);
    QVERIFY(store().item(QStringLiteral("ca"), QStringLiteral("B0NEW00001"))->hasOffer());
    const Fetched read = control("GET", QStringLiteral("/control/items/ca/B0NEW00001"));
    QCOMPARE(jsonObject(read.body).value(QStringLiteral("title")).toString(),
        QStringLiteral("\u00C9rable"));

    QCOMPARE(control("DELETE", QStringLiteral("/control/items/ca/B0NEW00001")).status, 200);
    QVERIFY(!store().item(QStringLiteral("ca"), QStringLiteral("B0NEW00001")));
    const QDomElement root = documentRoot(
        fetch(*m_proxied, lookupUrl(QStringLiteral("ca"), QStringLiteral("B0NEW00001"))).body);
    QCOMPARE(text(root, QStringLiteral("Items/Request/Errors/Error/Code")),
        QStringLiteral("AWS.InvalidParameterValue"));

    const Fetched ticked = control("POST", QStringLiteral("/control/tick"), R"({ "count": 3 })");
    QCOMPARE(jsonObject(ticked.body).value(QStringLiteral("ticks")).toInt(), 3);
    const Fetched settings = control(
        "POST", QStringLiteral("/control/settings"), R"({ "seed": 9, "signatureCheck": false })");
    QCOMPARE(settings.status, 200);
    QCOMPARE(store().seed(), 9u);
    QVERIFY(!store().isSignatureCheckEnabled());

    const Fetched catalogue = control("GET", QStringLiteral("/control/catalogue"));
    QVERIFY(jsonObject(catalogue.body)
                .value(QStringLiteral("stores"))
                .toObject()
                .contains(QStringLiteral("jp")));
    QCOMPARE(control("POST", QStringLiteral("/control/catalogue/reset")).status, 200);
    QCOMPARE(store().tickCount(), 0);
    QCOMPARE(store().item(QStringLiteral("uk"), QStringLiteral("B0PW000001"))->availability,
        QStringLiteral("Usually ships in 24 hours"));
    // The control requests themselves are not part of the request log.
    QCOMPARE(store().requestCount(), 2);
}

void TestSimulatedStore::controlInterfaceLogAndFaults()
{
    fetch(*m_proxied, lookupUrl(QStringLiteral("us"), QStringLiteral("B0PW000001")));
    fetch(*m_proxied, QUrl(QStringLiteral("http://unknown.example/")));

    const QJsonObject log = jsonObject(control("GET", QStringLiteral("/control/log")).body);
    QCOMPARE(log.value(QStringLiteral("requestCount")).toInt(), 2);
    const QJsonArray requests = log.value(QStringLiteral("requests")).toArray();
    QCOMPARE(requests.size(), 2);
    const QJsonObject lookup = requests.at(0).toObject();
    QCOMPARE(
        lookup.value(QStringLiteral("host")).toString(), QStringLiteral("webservices.amazon.com"));
    QCOMPARE(lookup.value(QStringLiteral("target")).toString(), QStringLiteral("product-api"));
    QCOMPARE(lookup.value(QStringLiteral("operation")).toString(), QStringLiteral("ItemLookup"));
    QCOMPARE(lookup.value(QStringLiteral("signatureValid")).toBool(), true);
    QCOMPARE(lookup.value(QStringLiteral("httpStatus")).toInt(), 200);
    QVERIFY(
        QDateTime::fromString(lookup.value(QStringLiteral("arrival")).toString(), Qt::ISODateWithMs)
            .isValid());
    bool sawItemId = false;
    for (const QJsonValue& pair : lookup.value(QStringLiteral("parameters")).toArray())
        sawItemId = sawItemId
            || pair.toArray()
                == QJsonArray { QStringLiteral("ItemId"), QStringLiteral("B0PW000001") };
    QVERIFY(sawItemId);
    QCOMPARE(requests.at(1).toObject().value(QStringLiteral("target")).toString(),
        QStringLiteral("unknown"));

    const QJsonObject since
        = jsonObject(control("GET", QStringLiteral("/control/log?since=1")).body);
    QCOMPARE(since.value(QStringLiteral("requests")).toArray().size(), 1);

    const Fetched injected = control(
        "POST", QStringLiteral("/control/faults"), R"({ "kind": "http503", "count": 2 })");
    QCOMPARE(injected.status, 200);
    const QJsonArray faults = jsonObject(injected.body).value(QStringLiteral("faults")).toArray();
    QCOMPARE(faults.size(), 1);
    QCOMPARE(faults.at(0).toObject().value(QStringLiteral("kind")).toString(),
        QStringLiteral("http503"));
    QCOMPARE(store().pendingFaults().constFirst().kind, SimulatedFault::Kind::Http503);
    QCOMPARE(
        fetch(*m_proxied, lookupUrl(QStringLiteral("us"), QStringLiteral("B0PW000001"))).status,
        503);
    QCOMPARE(control("DELETE", QStringLiteral("/control/faults")).status, 200);
    QVERIFY(store().pendingFaults().isEmpty());

    QCOMPARE(control("DELETE", QStringLiteral("/control/log")).status, 200);
    QCOMPARE(store().requestCount(), 0);
}

void TestSimulatedStore::controlInterfaceRefusesBadInput_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");

    QTest::newRow("unknown endpoint")
        << QByteArray("GET") << "/control/nothing" << QByteArray() << 404;
    QTest::newRow("outside control") << QByteArray("GET") << "/onca/xml" << QByteArray() << 404;
    QTest::newRow("wrong method") << QByteArray("DELETE") << "/control/status" << QByteArray()
                                  << 405;
    QTest::newRow("body not json")
        << QByteArray("PATCH") << "/control/items/us/B0PW000001" << QByteArray("{price") << 400;
    QTest::newRow("field of the wrong type")
        << QByteArray("PATCH") << "/control/items/us/B0PW000001"
        << QByteArray(R"({"stock":"many"})") << 400;
    QTest::newRow("item not carried") << QByteArray("PATCH") << "/control/items/us/B0NOSUCH00"
                                      << QByteArray(R"({"price":1})") << 404;
    QTest::newRow("unknown store")
        << QByteArray("GET") << "/control/items/es/B0PW000001" << QByteArray() << 404;
    QTest::newRow("bad asin for a new item")
        << QByteArray("PUT") << "/control/items/us/short" << QByteArray(R"({"price":1})") << 400;
    QTest::newRow("unknown fault")
        << QByteArray("POST") << "/control/faults" << QByteArray(R"({"kind":"fire"})") << 400;
    QTest::newRow("fault count zero") << QByteArray("POST") << "/control/faults"
                                      << QByteArray(R"({"kind":"delay","count":0})") << 400;
    QTest::newRow("negative tick")
        << QByteArray("POST") << "/control/settings" << QByteArray(R"({"tickSeconds":-1})") << 400;
    QTest::newRow("bad since") << QByteArray("GET") << "/control/log?since=x" << QByteArray()
                               << 400;
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
    QVERIFY(!jsonObject(reply.body).value(QStringLiteral("error")).toString().isEmpty());
    QCOMPARE(store().catalogueJson(), before);
    QVERIFY(store().pendingFaults().isEmpty());
    QCOMPARE(store().tickSeconds(), 0);
}

void TestSimulatedStore::faultsAreObservable_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("wellFormed");

    const auto row = [](const char* name, SimulatedFault::Kind kind, int status,
                         QNetworkReply::NetworkError error, bool wellFormed) {
        QTest::newRow(name) << int(kind) << status << int(error) << wellFormed;
    };
    row("delay", SimulatedFault::Kind::Delay, 200, QNetworkReply::NoError, true);
    row("no answer", SimulatedFault::Kind::NoAnswer, 0, QNetworkReply::OperationCanceledError,
        false);
    row("http 500", SimulatedFault::Kind::Http500, 500, QNetworkReply::InternalServerError, true);
    row("http 503", SimulatedFault::Kind::Http503, 503, QNetworkReply::ServiceUnavailableError,
        true);
    row("malformed xml", SimulatedFault::Kind::MalformedXml, 200, QNetworkReply::NoError, false);
    row("truncated body", SimulatedFault::Kind::TruncatedBody, 200,
        QNetworkReply::RemoteHostClosedError, false);
    row("pieces", SimulatedFault::Kind::Pieces, 200, QNetworkReply::NoError, true);
}

void TestSimulatedStore::faultsAreObservable()
{
    QFETCH(int, kind);
    QFETCH(int, status);
    QFETCH(int, error);
    QFETCH(bool, wellFormed);

    const QUrl url = lookupUrl(QStringLiteral("us"), QStringLiteral("B0PW000001,B0PW000006"));
    const QByteArray normal = fetch(*m_proxied, url).body;

    SimulatedFault fault;
    fault.kind = static_cast<SimulatedFault::Kind>(kind);
    fault.delayMs = fault.kind == SimulatedFault::Kind::Delay ? 400 : 0;
    fault.pieces = 6;
    store().injectFault(fault);
    QElapsedTimer clock;
    clock.start();
    const Fetched reply = fetch(*m_proxied, url, 1500);
    const qint64 elapsed = clock.elapsed();

    QCOMPARE(reply.status, status);
    QCOMPARE(int(reply.error), error);
    QCOMPARE(!documentRoot(reply.body).isNull(), wellFormed);
    const SimulatedRequest logged = store().requestLog().constLast();
    QCOMPARE(logged.fault, SimulatedFault::kindName(fault.kind));
    QCOMPARE(logged.httpStatus, status);
    QVERIFY(store().pendingFaults().isEmpty());

    switch (fault.kind) {
    case SimulatedFault::Kind::Delay:
        QVERIFY2(elapsed >= 400, qPrintable(QString::number(elapsed)));
        QCOMPARE(reply.body.size(), normal.size());
        break;
    case SimulatedFault::Kind::Pieces:
        QVERIFY2(reply.readyReads >= 3, qPrintable(QString::number(reply.readyReads)));
        QCOMPARE(reply.body.size(), normal.size());
        break;
    case SimulatedFault::Kind::TruncatedBody:
        QVERIFY(!reply.body.isEmpty());
        QCOMPARE(reply.contentLength, normal.size());
        QVERIFY(reply.body.size() < normal.size());
        break;
    case SimulatedFault::Kind::MalformedXml:
        QVERIFY(reply.body.startsWith("<?xml"));
        break;
    case SimulatedFault::Kind::Http500:
    case SimulatedFault::Kind::Http503:
        QVERIFY(!text(documentRoot(reply.body), QStringLiteral("Error/Code")).isEmpty());
        break;
    case SimulatedFault::Kind::NoAnswer:
        QVERIFY(reply.body.isEmpty());
        break;
    }
    // The next request is answered normally again.
    const Fetched after = fetch(*m_proxied, url);
    QCOMPARE(after.status, 200);
    QCOMPARE(items(documentRoot(after.body)).size(), 2);
}

void TestSimulatedStore::faultLastsForItsCount()
{
    store().injectFault(SimulatedFault::Kind::Http500, 2);
    store().injectFault(SimulatedFault::Kind::Http503, 1);
    const QUrl url = lookupUrl(QStringLiteral("de"), QStringLiteral("B0PW000001"));
    QList<int> statuses;
    for (int i = 0; i < 4; ++i)
        statuses << fetch(*m_proxied, url).status;
    QCOMPARE(statuses, QList<int>({ 500, 500, 503, 200 }));

    // Faults do not touch images or other hosts.
    store().injectFault(SimulatedFault::Kind::Http500, 1);
    QCOMPARE(
        fetch(*m_proxied,
            QUrl(SimulatedStore::imageUrl(QStringLiteral("B0PW000001"), QStringLiteral("small"))))
            .status,
        200);
    QCOMPARE(store().pendingFaults().size(), 1);
}

void TestSimulatedStore::silentConnectionIsReleased()
{
    store().injectFault(SimulatedFault::Kind::NoAnswer, 1);
    QNetworkRequest request(lookupUrl(QStringLiteral("us"), QStringLiteral("B0PW000001")));
    std::unique_ptr<QNetworkReply> reply(m_proxied->get(request));
    QTRY_COMPARE(store().requestCount(), 1);
    QTest::qWait(100);
    QVERIFY(!reply->isFinished());
    store().releaseSilentConnections();
    QTRY_VERIFY(reply->isFinished());
    // Qt sends a request again by itself when the connection closes before
    // any answer; the fault is used up by then, so the second try succeeds.
    QVERIFY(reply->error() != QNetworkReply::NoError || store().requestCount() == 2);
    QVERIFY(store().requestLog().constLast().fault.isEmpty() || store().requestCount() == 1);
}

void TestSimulatedStore::clientGivingUpMidFaultLeavesTheStoreServing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("delayMs");

    QTest::newRow("delay") << int(SimulatedFault::Kind::Delay) << 400;
    QTest::newRow("pieces") << int(SimulatedFault::Kind::Pieces) << 150;
    QTest::newRow("no answer") << int(SimulatedFault::Kind::NoAnswer) << 0;
}

// The deferred writes must notice that the client has gone instead of
// writing to a closed connection.
void TestSimulatedStore::clientGivingUpMidFaultLeavesTheStoreServing()
{
    QFETCH(int, kind);
    QFETCH(int, delayMs);

    SimulatedFault fault;
    fault.kind = static_cast<SimulatedFault::Kind>(kind);
    fault.delayMs = delayMs;
    fault.pieces = 4;
    store().injectFault(fault);
    const QUrl url = lookupUrl(QStringLiteral("ca"), QStringLiteral("B0PW000001"));
    const Fetched abandoned = fetch(*m_proxied, url, 100);
    QCOMPARE(abandoned.error, QNetworkReply::OperationCanceledError);
    QTest::qWait(delayMs * 4 + 100);
    store().releaseSilentConnections();

    const Fetched next = fetch(*m_proxied, url);
    QCOMPARE(next.status, 200);
    QCOMPARE(items(documentRoot(next.body)).size(), 1);
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

    const QString asin = QStringLiteral("B0PW000009");
    const Fetched reply = fetch(*m_proxied, QUrl(SimulatedStore::imageUrl(asin, size)));
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.contentType, QByteArray("image/png"));
    QImage image;
    QVERIFY(image.loadFromData(reply.body, "PNG"));
    QCOMPARE(image.size(), QSize(side, side));
    // Another product gets another picture.
    const Fetched other
        = fetch(*m_proxied, QUrl(SimulatedStore::imageUrl(QStringLiteral("B0PW000001"), size)));
    QVERIFY(other.body != reply.body);
    QCOMPARE(store().requestLog().constFirst().target, SimulatedRequest::Target::Image);

    // The image URLs in a reply are the ones served.
    const QDomElement item
        = items(documentRoot(fetch(*m_proxied, lookupUrl(QStringLiteral("us"), asin)).body))
              .value(0);
    QCOMPARE(text(item, QStringLiteral("MediumImage/URL")),
        SimulatedStore::imageUrl(asin, QStringLiteral("medium")));

    QCOMPARE(fetch(*m_proxied,
                 QUrl(QStringLiteral("http://%1/images/P/%2.huge.png")
                          .arg(SimulatedStore::imageHost(), asin)))
                 .status,
        404);
}

void TestSimulatedStore::unknownHostGets404()
{
    const Fetched reply
        = fetch(*m_proxied, QUrl(QStringLiteral("http://www.example.org/index.html")));
    QCOMPARE(reply.status, 404);
    QCOMPARE(reply.error, QNetworkReply::ContentNotFoundError);
    const Fetched path = fetch(*m_proxied,
        QUrl(QStringLiteral("http://%1/other/path").arg(Global::ApiHost(QStringLiteral("us")))));
    QCOMPARE(path.status, 404);
    QCOMPARE(store().requestCount(), 2);
    QCOMPARE(store().requestLog().constFirst().target, SimulatedRequest::Target::Unknown);
    QCOMPARE(store().requestLog().constFirst().host, QStringLiteral("www.example.org"));
}

void TestSimulatedStore::sessionRestoresProxyVariables()
{
    const QByteArray outer = qgetenv("http_proxy");
    QCOMPARE(outer, m_session->proxyUrl().toLatin1());
    {
        SimulatedStoreSession inner;
        QVERIFY(inner.isReady());
        QVERIFY(inner.proxyUrl() != m_session->proxyUrl());
        QCOMPARE(qgetenv("http_proxy"), inner.proxyUrl().toLatin1());
        QCOMPARE(qgetenv("HTTP_PROXY"), inner.proxyUrl().toLatin1());
    }
    QCOMPARE(qgetenv("http_proxy"), outer);
    QCOMPARE(qgetenv("HTTP_PROXY"), outer);
}

void TestSimulatedStore::processPrintsItsProxyAndServes()
{
    const QString program
        = QCoreApplication::applicationDirPath() + QStringLiteral("/pricewarden-sim");
    if (!QFile::exists(program))
        QSKIP("pricewarden-sim is not built beside the tests");
    QProcess process;
    process.setProgram(program);
    process.setArguments({ QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--tick"),
        QStringLiteral("0"), QStringLiteral("--seed"), QStringLiteral("5") });
    process.start();
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), 5000);
    const QString firstLine = QString::fromLatin1(process.readLine()).trimmed();
    QVERIFY2(firstLine.startsWith(QStringLiteral("http_proxy=http://127.0.0.1:")),
        qPrintable(firstLine));
    const QString proxy = firstLine.mid(QStringLiteral("http_proxy=").size());

    QNetworkAccessManager manager;
    const QUrl proxyUrl(proxy);
    manager.setProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, proxyUrl.host(), quint16(proxyUrl.port())));
    const Fetched reply = fetch(manager,
        lookupUrl(QStringLiteral("jp"), QStringLiteral("B0PW000009"), QStringLiteral("OfferFull")));
    QCOMPARE(reply.status, 200);
    QCOMPARE(text(items(documentRoot(reply.body)).value(0),
                 QStringLiteral("Offers/Offer/OfferListing/Price/Amount")),
        QString::number(store().item(QStringLiteral("jp"), QStringLiteral("B0PW000009"))->price));
    const Fetched status = fetch(*m_direct, QUrl(proxy + QStringLiteral("/control/status")));
    QCOMPARE(jsonObject(status.body).value(QStringLiteral("seed")).toInt(), 5);

    process.terminate();
    QVERIFY(WaitForExit(process, 5000));
    const QString logged = QString::fromUtf8(process.readAllStandardError());
    QVERIFY(logged.contains(QStringLiteral("ItemId=B0PW000009")));
    QVERIFY(!logged.contains(QStringLiteral("Signature=")));
    QVERIFY(!logged.contains(Global::SecretKeyString));
}

QTEST_GUILESS_MAIN(TestSimulatedStore)
#include "tst_simulatedstore.moc"
