// The product client end to end against the simulated store, which stands in
// for the product API as this process's HTTP proxy and checks every request
// (signature, access key, timestamp).
#include "AmazonConnector.h"
#include "Global.h"
#include "ScratchEnvironment.h"
#include "SimulatedStoreSession.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

SimulatedItem MakeItem(const QString& asin, qint64 price, const QString& offerListingId)
{
    SimulatedItem item;
    item.asin = asin;
    item.title = QStringLiteral("Title of ") + asin;
    item.price = price;
    item.stock = price > 0 ? 5 : 0;
    item.availability = QStringLiteral("Usually ships in 24 hours");
    item.offerListingId = offerListingId;
    item.lowestNewPrice = price > 0 ? price - 1 : 0;
    return item;
}

QStringList ParameterNames(const SimulatedRequest& request)
{
    QStringList names;
    for (const auto& pair : request.parameters)
        names << pair.first;
    return names;
}

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

} // namespace

class TestAmazonConnector : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void batchesOfTenInOrder();
    void groupedByStoreInTableOrder();
    void parametersInCanonicalOrder();
    void pauseAfterEachFinishedReply();
    void timestampTakenWhenSent();
    void lookupsInAllSixStores();
    void cartWithItemIndexesInKeyOrder();
    void cartOfUnknownOfferReportsError();
    void discontinuedAsinKeepsTheRestOfItsBatch();
    void faultGivesOneErrorAndLosesNoLaterRequest_data();
    void faultGivesOneErrorAndLosesNoLaterRequest();
    void refusedSignatureReportedOnce();
    void destroyedWithReplyInFlight();

private:
    QStringList AddItems(const QString& locale, const QString& prefix, int nCount);
    SimulatedStore& Store() { return m_session->store(); }

    ScratchEnvironment m_scratch;
    std::unique_ptr<SimulatedStoreSession> m_session;
    AmazonConnector* m_connector = nullptr;
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
    m_connector = new AmazonConnector(this);
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
        const QString asin
            = QStringLiteral("%1%2").arg(prefix).arg(i, 10 - prefix.size(), 10, QLatin1Char('0'));
        if (!Store().addItem(locale, MakeItem(asin, 1000 + i, QStringLiteral("offer-") + asin)))
            return {};
        asins << asin;
    }
    return asins;
}

void TestAmazonConnector::batchesOfTenInOrder()
{
    const QStringList asins = AddItems(QStringLiteral("us"), QStringLiteral("BT"), 25);
    QCOMPARE(asins.size(), 25);
    QSignalSpy items(m_connector, &AmazonConnector::ProductInfoAvailable);
    QSignalSpy errors(m_connector, &AmazonConnector::Error);

    m_connector->QueryProduct(asins, QStringLiteral("us"), true);
    QTRY_COMPARE_WITH_TIMEOUT(items.size(), 3, 10000);

    const QList<SimulatedRequest> log = Store().requestLog();
    QCOMPARE(log.size(), 3);
    const QList<QStringList> batches { asins.mid(0, 10), asins.mid(10, 10), asins.mid(20) };
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(log.at(i).parameter("ItemId"), batches.at(i).join(','));
        QCOMPARE(log.at(i).parameter("ResponseGroup"), QString("OfferFull"));
        QVERIFY2(log.at(i).signatureValid, qPrintable(log.at(i).rejection));
        QCOMPARE(AsinsOf(items.at(i).first().toList()), batches.at(i));
    }
    QVERIFY(errors.isEmpty());
}

void TestAmazonConnector::groupedByStoreInTableOrder()
{
    const QStringList us = AddItems("us", "GU", 2);
    const QStringList de = AddItems("de", "GD", 1);
    const QStringList jp = AddItems("jp", "GJ", 2);
    QSignalSpy items(m_connector, &AmazonConnector::ProductInfoAvailable);
    QSignalSpy errors(m_connector, &AmazonConnector::Error);

    m_connector->QueryProduct({ jp[0], us[0], "B0NOWHERE1", de[0], jp[1], us[1] },
        { "jp", "us", "xx", "de", "jp", "us" }, false);
    QTRY_COMPARE_WITH_TIMEOUT(items.size(), 3, 10000);
    QTest::qWait(700);

    const QList<SimulatedRequest> log = Store().requestLog();
    QCOMPARE(log.size(), 3);
    const QStringList locales { log[0].locale, log[1].locale, log[2].locale };
    QCOMPARE(locales, (QStringList { "us", "de", "jp" }));
    QCOMPARE(log[0].host, Global::ApiHost("us"));
    QCOMPARE(log[0].parameter("ItemId"), us.join(','));
    QCOMPARE(log[1].parameter("ItemId"), de.join(','));
    QCOMPARE(log[2].parameter("ItemId"), jp.join(','));
    QCOMPARE(log[2].parameter("ResponseGroup"), QString("ItemAttributes,OfferFull,Images"));
    QVERIFY(errors.isEmpty());
}

void TestAmazonConnector::parametersInCanonicalOrder()
{
    const QStringList asins = AddItems("ca", "PO", 2);
    QSignalSpy items(m_connector, &AmazonConnector::ProductInfoAvailable);
    m_connector->QueryProduct(asins, QStringLiteral("ca"), false);
    QTRY_COMPARE(items.size(), 1);

    const SimulatedRequest request = Store().requestLog().value(0);
    QCOMPARE(ParameterNames(request),
        (QStringList { "AWSAccessKeyId", "AssociateTag", "ItemId", "Operation", "ResponseGroup",
            "Service", "Timestamp", "Signature" }));
    QCOMPARE(request.parameter("AWSAccessKeyId"), Global::AccessKeyString);
    QCOMPARE(request.parameter("AssociateTag"), Global::AssociateIdString.value("ca"));
    QCOMPARE(request.parameter("Operation"), QString("ItemLookup"));
    QCOMPARE(request.parameter("Service"), QString("AWSECommerceService"));
    QVERIFY2(request.signatureValid, qPrintable(request.rejection));
}

void TestAmazonConnector::pauseAfterEachFinishedReply()
{
    const QStringList asins = AddItems("uk", "PA", 2);
    // The first answer comes late: the pause counts from its end, not from
    // when the request left.
    Store().injectFault(SimulatedFault::Kind::Delay, 1, 300);
    QSignalSpy items(m_connector, &AmazonConnector::ProductInfoAvailable);
    QDateTime firstFinished;
    connect(m_connector, &AmazonConnector::ProductInfoAvailable, this, [&firstFinished] {
        if (firstFinished.isNull())
            firstFinished = QDateTime::currentDateTimeUtc();
    });

    m_connector->QueryProduct({ asins[0] }, QStringLiteral("uk"), true);
    m_connector->QueryProduct({ asins[1] }, QStringLiteral("uk"), true);
    QTRY_COMPARE_WITH_TIMEOUT(items.size(), 2, 5000);

    const QList<SimulatedRequest> log = Store().requestLog();
    QCOMPARE(log.size(), 2);
    QVERIFY(log[1].arrival.isValid());
    const qint64 afterReply = firstFinished.msecsTo(log[1].arrival);
    const qint64 betweenRequests = log[0].arrival.msecsTo(log[1].arrival);
    QVERIFY2(afterReply >= 500, qPrintable(QString::number(afterReply)));
    QVERIFY2(betweenRequests >= 800, qPrintable(QString::number(betweenRequests)));
}

void TestAmazonConnector::timestampTakenWhenSent()
{
    const QStringList asins = AddItems("fr", "TS", 2);
    m_now = QDateTime(QDate(2026, 12, 5), QTime(12, 16, 8), Qt::UTC);
    m_connector->SetClock([this] { return m_now; });
    Store().setClock([this] { return m_now; });
    QSignalSpy items(m_connector, &AmazonConnector::ProductInfoAvailable);

    m_connector->QueryProduct({ asins[0] }, QStringLiteral("fr"), true);
    m_connector->QueryProduct({ asins[1] }, QStringLiteral("fr"), true);
    QTRY_COMPARE(Store().requestCount(), 1);
    // Both were queued at 12:16:08; the second leaves an hour "later".
    m_now = m_now.addSecs(3600);
    QTRY_COMPARE(Store().requestCount(), 2);

    const QList<SimulatedRequest> log = Store().requestLog();
    QCOMPARE(log[0].parameter("Timestamp"), QString("2026-12-05T12:16:08Z"));
    QCOMPARE(log[1].parameter("Timestamp"), QString("2026-12-05T13:16:08Z"));
    QVERIFY2(log[1].signatureValid, qPrintable(log[1].rejection));
    QTRY_COMPARE(items.size(), 2);
}

void TestAmazonConnector::lookupsInAllSixStores()
{
    QStringList asins;
    QStringList locales;
    QMap<QString, SimulatedItem> expected;
    for (const QString& locale : std::as_const(Global::AmazonLocale)) {
        const QStringList carried = Store().asins(locale);
        QVERIFY2(!carried.isEmpty(), qPrintable(locale));
        const std::optional<SimulatedItem> item = Store().item(locale, carried.first());
        QVERIFY(item);
        expected.insert(locale, *item);
        asins.prepend(item->asin);
        locales.prepend(locale);
    }
    QSignalSpy items(m_connector, &AmazonConnector::ProductInfoAvailable);
    QSignalSpy errors(m_connector, &AmazonConnector::Error);

    m_connector->QueryProduct(asins, locales, false);
    QTRY_COMPARE_WITH_TIMEOUT(items.size(), 6, 10000);

    const QList<SimulatedRequest> log = Store().requestLog();
    QCOMPARE(log.size(), 6);
    for (int i = 0; i < 6; ++i) {
        const QString locale = Global::AmazonLocale.at(i);
        QCOMPARE(log[i].locale, locale);
        QCOMPARE(log[i].host, Global::ApiHost(locale));
        QVERIFY2(log[i].signatureValid, qPrintable(log[i].rejection));

        const QVariantList records = items.at(i).first().toList();
        QCOMPARE(records.size(), 1);
        const QVariantMap record = records.first().toMap();
        const SimulatedItem& item = expected[locale];
        const double divisor = locale == "jp" ? 1.0 : 100.0;
        QCOMPARE(record.value("Locale").toString(), locale);
        QCOMPARE(record.value("ASIN").toString(), item.asin);
        QCOMPARE(record.value("Title").toString(), item.title);
        QCOMPARE(record.value("InStock").toBool(), item.hasOffer());
        QCOMPARE(record.value("Price").toDouble(), item.hasOffer() ? item.price / divisor : 0.0);
        QCOMPARE(record.value("LowestNewPrice").toDouble(), item.lowestNewPrice / divisor);
        QCOMPARE(record.value("DetailPageURL").toString(),
            "http://" + Global::WebHost(locale) + "/gp/product/" + item.asin
                + "?tag=" + Global::AssociateIdString.value(locale));
    }
    QCOMPARE(Texts(errors), QStringList());
}

void TestAmazonConnector::cartWithItemIndexesInKeyOrder()
{
    const QStringList asins = AddItems("de", "CA", 2);
    QSignalSpy carts(m_connector, &AmazonConnector::CartAvailable);
    QSignalSpy errors(m_connector, &AmazonConnector::Error);

    // Keys in descending order on purpose: the indexes follow the key order.
    m_connector->CreateCart(
        { { "offer-" + asins[1], 1 }, { "offer-" + asins[0], 3 } }, QStringLiteral("de"));
    QTRY_COMPARE(carts.size(), 1);

    const SimulatedRequest request = Store().requestLog().value(0);
    QVERIFY2(request.signatureValid, qPrintable(request.rejection));
    QCOMPARE(request.operation, QString("CartCreate"));
    QCOMPARE(request.parameter("Item.0.OfferListingId"), "offer-" + asins[0]);
    QCOMPARE(request.parameter("Item.0.Quantity"), QString("3"));
    QCOMPARE(request.parameter("Item.1.OfferListingId"), "offer-" + asins[1]);
    QCOMPARE(request.parameter("Item.1.Quantity"), QString("1"));
    QVERIFY(!request.hasParameter("ItemId"));
    QVERIFY(!carts.first().first().toString().isEmpty());
    QVERIFY(errors.isEmpty());
}

void TestAmazonConnector::cartOfUnknownOfferReportsError()
{
    QSignalSpy carts(m_connector, &AmazonConnector::CartAvailable);
    QSignalSpy errors(m_connector, &AmazonConnector::Error);
    m_connector->CreateCart({ { "no-such-offer", 1 } }, QStringLiteral("us"));
    QTRY_COMPARE(errors.size(), 1);
    QVERIFY2(errors.first().first().toString().startsWith("Invalid Request: "),
        qPrintable(errors.first().first().toString()));
    QTest::qWait(100);
    QCOMPARE(carts.size(), 0);
    QCOMPARE(errors.size(), 1);
}

void TestAmazonConnector::discontinuedAsinKeepsTheRestOfItsBatch()
{
    QStringList asins = AddItems("us", "DC", 3);
    asins.insert(1, QStringLiteral("B0GONE0000"));
    QSignalSpy items(m_connector, &AmazonConnector::ProductInfoAvailable);
    QSignalSpy errors(m_connector, &AmazonConnector::Error);

    m_connector->QueryProduct(asins, QStringLiteral("us"), true);
    QTRY_COMPARE(items.size(), 1);
    QCOMPARE(
        AsinsOf(items.first().first().toList()), (QStringList { asins[0], asins[2], asins[3] }));
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().first().toString().startsWith("Invalid Request: "),
        qPrintable(errors.first().first().toString()));
}

void TestAmazonConnector::faultGivesOneErrorAndLosesNoLaterRequest_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("errorStart");

    const auto row = [](const char* name, SimulatedFault::Kind kind, const QString& error) {
        QTest::newRow(name) << static_cast<int>(kind) << error;
    };
    row("http 500", SimulatedFault::Kind::Http500, "Invalid Request: ");
    row("http 503", SimulatedFault::Kind::Http503, "Invalid Request: ");
    row("malformed xml", SimulatedFault::Kind::MalformedXml, "Invalid reply: ");
    row("truncated body", SimulatedFault::Kind::TruncatedBody,
        QString("Network error: %1").arg(int(QNetworkReply::RemoteHostClosedError)));
    row("no answer", SimulatedFault::Kind::NoAnswer,
        QString("Network error: %1 (").arg(int(QNetworkReply::OperationCanceledError)));
    row("body in pieces", SimulatedFault::Kind::Pieces, QString());
}

void TestAmazonConnector::faultGivesOneErrorAndLosesNoLaterRequest()
{
    QFETCH(int, kind);
    QFETCH(QString, errorStart);
    const QStringList asins = AddItems("us", "FA", 4);
    SimulatedFault fault;
    fault.kind = static_cast<SimulatedFault::Kind>(kind);
    Store().injectFault(fault);
    m_connector->SetReplyTimeout(1000);
    QSignalSpy items(m_connector, &AmazonConnector::ProductInfoAvailable);
    QSignalSpy errors(m_connector, &AmazonConnector::Error);

    m_connector->QueryProduct(asins.mid(0, 3), QStringLiteral("us"), true);
    m_connector->QueryProduct(asins.mid(3), QStringLiteral("us"), true);
    const int expectedLists = errorStart.isEmpty() ? 2 : 1;
    QTRY_COMPARE_WITH_TIMEOUT(items.size(), expectedLists, 5000);
    QTest::qWait(100);

    QCOMPARE(items.size(), expectedLists);
    QCOMPARE(AsinsOf(items.last().first().toList()), asins.mid(3));
    if (errorStart.isEmpty()) {
        QCOMPARE(AsinsOf(items.first().first().toList()), asins.mid(0, 3));
        QCOMPARE(Texts(errors), QStringList());
    } else {
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().first().toString().startsWith(errorStart),
            qPrintable(errors.first().first().toString()));
    }
    QCOMPARE(Store().requestLog().last().parameter("ItemId"), asins.at(3));
}

void TestAmazonConnector::refusedSignatureReportedOnce()
{
    const QStringList asins = AddItems("us", "RS", 1);
    Store().setCredentials(QString(), QStringLiteral("another secret key of forty characters!!"));
    QSignalSpy items(m_connector, &AmazonConnector::ProductInfoAvailable);
    QSignalSpy errors(m_connector, &AmazonConnector::Error);

    m_connector->QueryProduct(asins, QStringLiteral("us"), true);
    QTRY_COMPARE(errors.size(), 1);
    QTest::qWait(100);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().first().toString().startsWith("Invalid Request: "),
        qPrintable(errors.first().first().toString()));
    QVERIFY(items.isEmpty());
    QVERIFY(!Store().requestLog().value(0).signatureValid);
}

void TestAmazonConnector::destroyedWithReplyInFlight()
{
    const QStringList asins = AddItems("us", "DW", 2);
    Store().injectFault(SimulatedFault::Kind::Delay, 1, 300);
    m_connector->QueryProduct({ asins[0] }, QStringLiteral("us"), true);
    m_connector->QueryProduct({ asins[1] }, QStringLiteral("us"), true);
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
