// The simulated store's request parsing: a request in absolute form (the
// host picked by the input, then any path and query) with any method and
// body, taken apart the way the store takes apart what its server hands
// over, and answered by the part the host names: the product API (its
// parameters, signature, timestamp, item ids, cart lines), the vendor
// service (form parameters, e-mail addresses), the image host (its paths)
// or the JSON control interface (paths, "since", catalogue, items, faults,
// settings, version). Every answer must be what a client can read.
#include "BuiltInCatalogue.h"
#include "ControlInterface.h"
#include "FuzzSupport.h"
#include "ProductApiService.h"
#include "ProductImage.h"
#include "SimulatedMailbox.h"
#include "SimulatedStore.h"
#include "VendorService.h"

#include <QJsonDocument>
#include <QUrl>
#include <QXmlStreamReader>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

bool IsWellFormedXml(const QByteArray& body)
{
    QXmlStreamReader reader(body);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

void CheckXmlAnswer(const HttpAnswer& answer)
{
    FUZZ_CHECK(answer.status >= 200 && answer.status < 600);
    if (answer.contentType.startsWith("text/xml"))
        FUZZ_CHECK(IsWellFormedXml(answer.body));
}

// The store behind the control interface; put back after each request that
// may have changed it.
SimulatedStore& Store()
{
    static SimulatedStore* store = new SimulatedStore;
    return *store;
}

void ResetStore()
{
    SimulatedStore& store = Store();
    store.resetCatalogue();
    store.clearFaults();
    store.clearMails();
    store.setTickSeconds(0);
    store.setSeed(1);
    store.setSignatureCheckEnabled(true);
    store.setVersionInfo(VendorService::defaultVersionInfo());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::Start();
    Store();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const char* const methods[] = { "GET", "POST", "PUT", "PATCH", "DELETE", "HEAD" };
    static const SimulatedCatalogue catalogue = BuiltInCatalogue::create();
    static SimulatedMailbox mailbox;

    FuzzedDataProvider input(data, size);
    const QString method = QString::fromLatin1(methods[input.ConsumeIntegralInRange(0, 5)]);
    const int hostIndex = input.ConsumeIntegralInRange(0, int(Global::AmazonLocale.size()) + 2);
    const bool checkSignature = input.ConsumeBool();
    const QByteArray target = QByteArray::fromStdString(input.ConsumeRandomLengthString(2048));
    const QByteArray body = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());

    QString host = QStringLiteral("127.0.0.1");
    QString locale;
    if (hostIndex < Global::AmazonLocale.size()) {
        locale = Global::AmazonLocale.at(hostIndex);
        host = SimulatedStore::apiHost(locale);
    } else if (hostIndex == Global::AmazonLocale.size()) {
        host = Global::DomainName;
    } else if (hostIndex == Global::AmazonLocale.size() + 1) {
        host = SimulatedStore::imageHost();
    }
    const QUrl url = QUrl::fromEncoded("http://" + host.toUtf8() + target);
    const QString query = url.query(QUrl::FullyEncoded);

    if (host == QLatin1String("127.0.0.1")) {
        ControlInterface control(Store());
        const HttpAnswer answer = control.answer(method, url.path(), query, body);
        FUZZ_CHECK(answer.status == 200 || answer.status == 400 || answer.status == 404
            || answer.status == 405);
        FUZZ_CHECK(QJsonDocument::fromJson(answer.body).isObject());
        if (method != QLatin1String("GET") && answer.status == 200)
            ResetStore();
        return 0;
    }

    ProductApiSignature::Parameters parameters = ProductApiSignature::decodeQuery(query.toUtf8());
    if (!locale.isEmpty()) {
        ProductApiService::Request request { method, host, url.path(QUrl::FullyEncoded), locale,
            QStringLiteral("fuzz"), parameters };
        ProductApiService::Settings settings;
        settings.account = { Global::AccessKeyString, Global::SecretKeyString };
        settings.checkSignature = checkSignature;
        settings.now = QDateTime(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC);
        CheckXmlAnswer(ProductApiService::answer(request, catalogue, settings).answer);
    } else if (host == Global::DomainName) {
        if (method == QLatin1String("POST") || method == QLatin1String("PUT"))
            parameters += ProductApiSignature::decodeQuery(body);
        VendorService::Settings settings;
        settings.signingKey = Global::SignatureKeyString;
        settings.checkSignature = checkSignature;
        settings.now = QDateTime(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC);
        settings.version = VendorService::defaultVersionInfo();
        CheckXmlAnswer(
            VendorService::answer({ method, url.path(), parameters }, settings, &mailbox).answer);
    } else {
        QString asin;
        QString imageSize;
        if (ProductImage::parsePath(url.path(), &asin, &imageSize))
            FUZZ_CHECK(asin.size() == 10 && ProductImage::side(imageSize) > 0);
    }
    return 0;
}
