#include "SimulatedStore.h"

#include "BuiltInCatalogue.h"
#include "CatalogueJson.h"
#include "ControlInterface.h"
#include "Global.h"
#include "PriceSchedule.h"
#include "ProductApiReply.h"
#include "ProductApiService.h"
#include "ProductImage.h"
#include "ReplyDelivery.h"
#include "SimulatedCatalogue.h"
#include "SimulatedHttpServer.h"

#include <QFile>
#include <QHostAddress>
#include <QHttpServerRequest>
#include <QTextStream>
#include <QTimer>
#include <QUuid>

namespace {

// A long demo must not eat memory: beyond this the oldest entries go.
constexpr qsizetype MaximumLogEntries = 100000;

QString methodName(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return QStringLiteral("GET");
    case QHttpServerRequest::Method::Put:
        return QStringLiteral("PUT");
    case QHttpServerRequest::Method::Delete:
        return QStringLiteral("DELETE");
    case QHttpServerRequest::Method::Post:
        return QStringLiteral("POST");
    case QHttpServerRequest::Method::Head:
        return QStringLiteral("HEAD");
    case QHttpServerRequest::Method::Options:
        return QStringLiteral("OPTIONS");
    case QHttpServerRequest::Method::Patch:
        return QStringLiteral("PATCH");
    case QHttpServerRequest::Method::Connect:
        return QStringLiteral("CONNECT");
    case QHttpServerRequest::Method::Trace:
        return QStringLiteral("TRACE");
    default:
        break;
    }
    return QStringLiteral("UNKNOWN");
}

QString headerValue(const QHttpServerRequest& request, const QByteArray& name)
{
    for (const auto& header : request.headers()) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(header.second);
    }
    return {};
}

// Requests in origin form name the store itself: they are for the control
// interface, never for a proxied host.
bool isOwnAddress(const QString& host)
{
    return host.isEmpty() || host == QLatin1String("127.0.0.1")
        || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
        || host == QLatin1String("::1");
}

} // namespace

struct SimulatedStore::Private
{
    explicit Private(SimulatedStore& store)
        : server([&store](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
            store.handleRequest(request, std::move(responder));
        })
        , control(store)
        , catalogue(BuiltInCatalogue::create())
    {
    }

    // Declared before the delivery, so that held connections are closed
    // while the server's sockets still exist.
    SimulatedHttpServer server;
    ReplyDelivery delivery;
    ControlInterface control;
    QTimer tickTimer;
    quint16 port = 0;

    SimulatedCatalogue catalogue;
    quint32 seed = 1;
    int tickSeconds = 0;
    int ticks = 0;

    Clock clock;
    bool signatureCheck = true;
    QString accessKeyId;
    QString secretKey;
    int cartCount = 0;

    QString vendorSigningKey;
    VendorService::VersionInfo version = VendorService::defaultVersionInfo();
    SimulatedMailbox mailbox;

    QList<SimulatedFault> faults;
    QList<SimulatedRequest> log;
    bool logToStderr = false;
};

SimulatedStore::SimulatedStore(QObject* parent)
    : QObject(parent)
{
    if (Global::AmazonLocale.isEmpty())
        Global::InitializeSettings();
    d = std::make_unique<Private>(*this);
    connect(&d->tickTimer, &QTimer::timeout, this, &SimulatedStore::onTick);
    // Lets a failing test show what reached the store without a rebuild.
    d->logToStderr = qEnvironmentVariableIntValue("PRICEWARDEN_SIM_LOG") != 0;
}

SimulatedStore::~SimulatedStore() = default;

bool SimulatedStore::listen(quint16 port)
{
    if (d->port != 0)
        return port == 0 || port == d->port;
    d->port = d->server.listen(QHostAddress::LocalHost, port);
    return d->port != 0;
}

bool SimulatedStore::isListening() const
{
    return d->port != 0;
}

quint16 SimulatedStore::port() const
{
    return d->port;
}

QString SimulatedStore::proxyUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(d->port);
}

// --- catalogue ------------------------------------------------------------------

bool SimulatedStore::loadCatalogue(const QString& filePath, QString* errorMessage)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorMessage)
            *errorMessage = QStringLiteral("cannot read %1: %2").arg(filePath, file.errorString());
        return false;
    }
    return loadCatalogueJson(file.readAll(), errorMessage);
}

bool SimulatedStore::loadCatalogueJson(const QByteArray& json, QString* errorMessage)
{
    SimulatedCatalogue loaded;
    QString error;
    if (!CatalogueJson::read(json, &loaded, &error)) {
        if (errorMessage)
            *errorMessage = error;
        return false;
    }
    d->catalogue = loaded;
    d->ticks = 0;
    Q_EMIT catalogueChanged();
    return true;
}

void SimulatedStore::resetCatalogue()
{
    d->catalogue = BuiltInCatalogue::create();
    d->ticks = 0;
    Q_EMIT catalogueChanged();
}

QByteArray SimulatedStore::catalogueJson() const
{
    return CatalogueJson::write(d->catalogue);
}

QStringList SimulatedStore::asins(const QString& locale) const
{
    return d->catalogue.asins(locale);
}

std::optional<SimulatedItem> SimulatedStore::item(const QString& locale, const QString& asin) const
{
    if (const SimulatedItem* found = d->catalogue.find(locale, asin))
        return *found;
    return std::nullopt;
}

bool SimulatedStore::addItem(const QString& locale, const SimulatedItem& item)
{
    SimulatedItem added = item;
    if (added.price > 0 && added.offerListingId.isEmpty())
        added.offerListingId = SimulatedCatalogue::defaultOfferListingId(locale, added.asin);
    if (!d->catalogue.insert(locale, added))
        return false;
    Q_EMIT catalogueChanged();
    return true;
}

bool SimulatedStore::removeItem(const QString& locale, const QString& asin)
{
    if (!d->catalogue.remove(locale, asin))
        return false;
    Q_EMIT catalogueChanged();
    return true;
}

bool SimulatedStore::changeItem(
    const QString& locale, const QString& asin, const std::function<void(SimulatedItem&)>& change)
{
    SimulatedItem* found = d->catalogue.find(locale, asin);
    if (!found)
        return false;
    change(*found);
    Q_EMIT catalogueChanged();
    return true;
}

bool SimulatedStore::setPrice(const QString& locale, const QString& asin, qint64 amount)
{
    return changeItem(locale, asin, [&locale, amount](SimulatedItem& item) {
        item.price = qMax<qint64>(0, amount);
        if (item.price > 0 && item.offerListingId.isEmpty())
            item.offerListingId = SimulatedCatalogue::defaultOfferListingId(locale, item.asin);
    });
}

bool SimulatedStore::setListPrice(const QString& locale, const QString& asin, qint64 amount)
{
    return changeItem(
        locale, asin, [amount](SimulatedItem& item) { item.listPrice = qMax<qint64>(0, amount); });
}

bool SimulatedStore::setLowestNewPrice(const QString& locale, const QString& asin, qint64 amount)
{
    return changeItem(locale, asin,
        [amount](SimulatedItem& item) { item.lowestNewPrice = qMax<qint64>(0, amount); });
}

bool SimulatedStore::setLowestUsedPrice(const QString& locale, const QString& asin, qint64 amount)
{
    return changeItem(locale, asin,
        [amount](SimulatedItem& item) { item.lowestUsedPrice = qMax<qint64>(0, amount); });
}

bool SimulatedStore::setStock(const QString& locale, const QString& asin, int quantity)
{
    return changeItem(
        locale, asin, [quantity](SimulatedItem& item) { item.stock = qMax(0, quantity); });
}

bool SimulatedStore::setAvailability(
    const QString& locale, const QString& asin, const QString& text)
{
    return changeItem(locale, asin, [&text](SimulatedItem& item) { item.availability = text; });
}

bool SimulatedStore::setOfferListingId(
    const QString& locale, const QString& asin, const QString& id)
{
    return changeItem(locale, asin, [&id](SimulatedItem& item) { item.offerListingId = id; });
}

// --- price schedule ---------------------------------------------------------------

void SimulatedStore::setSeed(quint32 seed)
{
    d->seed = seed;
}

quint32 SimulatedStore::seed() const
{
    return d->seed;
}

void SimulatedStore::setTickSeconds(int seconds)
{
    d->tickSeconds = qMax(0, seconds);
    if (d->tickSeconds > 0)
        d->tickTimer.start(d->tickSeconds * 1000);
    else
        d->tickTimer.stop();
}

int SimulatedStore::tickSeconds() const
{
    return d->tickSeconds;
}

void SimulatedStore::advanceTicks(int count)
{
    if (count <= 0)
        return;
    for (int i = 0; i < count; ++i)
        PriceSchedule::advance(d->catalogue, d->seed, ++d->ticks);
    Q_EMIT catalogueChanged();
}

int SimulatedStore::tickCount() const
{
    return d->ticks;
}

void SimulatedStore::onTick()
{
    advanceTicks(1);
}

// --- request checks ---------------------------------------------------------------

void SimulatedStore::setClock(Clock clock)
{
    d->clock = std::move(clock);
}

QDateTime SimulatedStore::currentTime() const
{
    return d->clock ? d->clock().toUTC() : QDateTime::currentDateTimeUtc();
}

void SimulatedStore::setSignatureCheckEnabled(bool enabled)
{
    d->signatureCheck = enabled;
}

bool SimulatedStore::isSignatureCheckEnabled() const
{
    return d->signatureCheck;
}

void SimulatedStore::setCredentials(const QString& accessKeyId, const QString& secretKey)
{
    d->accessKeyId = accessKeyId;
    d->secretKey = secretKey;
}

// --- faults ------------------------------------------------------------------------

void SimulatedStore::injectFault(SimulatedFault::Kind kind, int count, int delayMs)
{
    SimulatedFault fault;
    fault.kind = kind;
    fault.count = count;
    fault.delayMs = delayMs;
    injectFault(fault);
}

void SimulatedStore::injectFault(const SimulatedFault& fault)
{
    if (fault.count < 1)
        return;
    d->faults.append(fault);
}

QList<SimulatedFault> SimulatedStore::pendingFaults() const
{
    return d->faults;
}

void SimulatedStore::clearFaults()
{
    d->faults.clear();
}

void SimulatedStore::releaseSilentConnections()
{
    d->delivery.releaseSilentConnections();
}

std::optional<SimulatedFault> SimulatedStore::takeFault(SimulatedFault::Target target)
{
    for (qsizetype i = 0; i < d->faults.size(); ++i) {
        if (d->faults.at(i).target != target)
            continue;
        SimulatedFault fault = d->faults.at(i);
        if (--d->faults[i].count <= 0)
            d->faults.removeAt(i);
        fault.count = 1;
        return fault;
    }
    return std::nullopt;
}

// --- vendor service ------------------------------------------------------------------

void SimulatedStore::setVendorSigningKey(const QString& key)
{
    d->vendorSigningKey = key;
}

void SimulatedStore::setVersionInfo(const VendorService::VersionInfo& info)
{
    d->version = info;
}

VendorService::VersionInfo SimulatedStore::versionInfo() const
{
    return d->version;
}

void SimulatedStore::setMailboxFile(const QString& path)
{
    d->mailbox.setFilePath(path);
}

QString SimulatedStore::mailboxFile() const
{
    return d->mailbox.filePath();
}

QList<SimulatedMail> SimulatedStore::mails() const
{
    return d->mailbox.mails();
}

int SimulatedStore::deliveredMailCount() const
{
    return d->mailbox.deliveredCount();
}

void SimulatedStore::clearMails()
{
    d->mailbox.clear();
}

// --- request log -------------------------------------------------------------------

QList<SimulatedRequest> SimulatedStore::requestLog() const
{
    return d->log;
}

int SimulatedStore::requestCount() const
{
    return int(d->log.size());
}

void SimulatedStore::clearRequestLog()
{
    d->log.clear();
    Q_EMIT requestCountChanged(0);
}

void SimulatedStore::setLogToStderr(bool enabled)
{
    d->logToStderr = enabled;
}

void SimulatedStore::record(const SimulatedRequest& entry)
{
    if (d->log.size() >= MaximumLogEntries)
        d->log.removeFirst();
    d->log.append(entry);
    if (d->logToStderr)
        writeLogLine(entry);
    Q_EMIT requestLogged(entry);
    Q_EMIT requestCountChanged(int(d->log.size()));
}

// One line per request. The signature and the access key are left out;
// the secret never reaches a request in the first place.
void SimulatedStore::writeLogLine(const SimulatedRequest& entry) const
{
    QStringList parameters;
    for (const auto& pair : entry.parameters) {
        if (pair.first == QLatin1String("Signature")
            || pair.first == QLatin1String("AWSAccessKeyId"))
            continue;
        parameters << pair.first + QLatin1Char('=') + pair.second;
    }
    QString line
        = QStringLiteral("%1 %2 %3%4")
              .arg(entry.arrival.toString(Qt::ISODateWithMs), entry.method, entry.host, entry.path);
    if (!parameters.isEmpty())
        line += QLatin1Char(' ') + parameters.join(QLatin1Char(' '));
    if (entry.target == SimulatedRequest::Target::ProductApi
        || entry.target == SimulatedRequest::Target::VendorService)
        line += entry.signatureValid ? QStringLiteral(" [signature ok]")
                                     : QStringLiteral(" [signature not valid]");
    if (!entry.rejection.isEmpty())
        line += QStringLiteral(" [refused: %1]").arg(entry.rejection);
    if (!entry.fault.isEmpty())
        line += QStringLiteral(" [fault: %1]").arg(entry.fault);
    line += QStringLiteral(" -> %1").arg(entry.httpStatus);
    QTextStream err(stderr);
    err << line << Qt::endl;
}

// --- hosts and URLs ------------------------------------------------------------------

const QStringList& SimulatedStore::storeLocales()
{
    return SimulatedCatalogue::storeLocales();
}

QString SimulatedStore::apiHost(const QString& locale)
{
    return Global::ApiHost(locale);
}

QString SimulatedStore::imageHost()
{
    return ProductImage::host();
}

QString SimulatedStore::imageUrl(const QString& asin, const QString& size)
{
    return ProductImage::url(asin, size);
}

QString SimulatedStore::signedUrl(
    const QString& locale, const QList<QPair<QString, QString>>& parameters) const
{
    QList<QPair<QString, QString>> complete = parameters;
    const auto addMissing = [&complete](const QString& name, const QString& value) {
        for (const auto& pair : std::as_const(complete)) {
            if (pair.first == name)
                return;
        }
        complete.append({ name, value });
    };
    addMissing(QStringLiteral("AWSAccessKeyId"),
        d->accessKeyId.isEmpty() ? Global::AccessKeyString : d->accessKeyId);
    addMissing(QStringLiteral("AssociateTag"), Global::AssociateIdString.value(locale));
    addMissing(QStringLiteral("Service"), QStringLiteral("AWSECommerceService"));
    addMissing(QStringLiteral("Timestamp"),
        currentTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")));
    const QString host = apiHost(locale);
    const QString path = QStringLiteral("/onca/xml");
    return QStringLiteral("http://") + host + path + QLatin1Char('?')
        + QString::fromLatin1(ProductApiSignature::signedQuery(
            host, path, complete, d->secretKey.isEmpty() ? Global::SecretKeyString : d->secretKey));
}

// --- request handling ----------------------------------------------------------------

void SimulatedStore::handleRequest(
    const QHttpServerRequest& request, QHttpServerResponder&& responder)
{
    const QUrl url = request.url();
    const QString host = url.host().toLower();
    const QString method = methodName(request.method());
    if (isOwnAddress(host)) {
        d->delivery.send(std::move(responder),
            d->control.answer(method, url.path(), url.query(QUrl::FullyEncoded), request.body()));
        return;
    }

    SimulatedRequest entry;
    entry.arrival = QDateTime::currentDateTimeUtc();
    entry.method = method;
    entry.host = host;
    entry.path = url.path();
    entry.parameters = ProductApiSignature::decodeQuery(url.query(QUrl::FullyEncoded).toUtf8());
    for (const QString& locale : storeLocales()) {
        if (host.compare(apiHost(locale), Qt::CaseInsensitive) == 0) {
            entry.target = SimulatedRequest::Target::ProductApi;
            entry.locale = locale;
        }
    }
    if (entry.target == SimulatedRequest::Target::ProductApi)
        handleProductApi(entry, request, std::move(responder));
    else if (host.compare(Global::DomainName, Qt::CaseInsensitive) == 0)
        handleVendorService(entry, request, std::move(responder));
    else if (host == imageHost())
        handleImage(entry, std::move(responder));
    else
        handleOtherHost(entry, std::move(responder));
}

void SimulatedStore::handleProductApi(
    SimulatedRequest& entry, const QHttpServerRequest& request, QHttpServerResponder&& responder)
{
    ProductApiService::Request apiRequest;
    apiRequest.method = entry.method;
    apiRequest.host = entry.host;
    apiRequest.path = request.url().path(QUrl::FullyEncoded);
    apiRequest.locale = entry.locale;
    apiRequest.userAgent = headerValue(request, "User-Agent");
    apiRequest.parameters = entry.parameters;

    ProductApiService::Settings settings;
    settings.account.accessKeyId
        = d->accessKeyId.isEmpty() ? Global::AccessKeyString : d->accessKeyId;
    settings.account.secretKey = d->secretKey.isEmpty() ? Global::SecretKeyString : d->secretKey;
    settings.checkSignature = d->signatureCheck;
    settings.now = currentTime();
    settings.cartNumber = ++d->cartCount;

    const ProductApiService::Outcome outcome
        = ProductApiService::answer(apiRequest, d->catalogue, settings);
    entry.operation = entry.parameter(QStringLiteral("Operation"));
    entry.signatureValid = outcome.signatureValid;
    entry.rejection = outcome.rejection;

    deliver(entry, std::move(responder), outcome.answer,
        takeFault(SimulatedFault::Target::ProductApi), SimulatedFault::Target::ProductApi);
}

void SimulatedStore::handleVendorService(
    SimulatedRequest& entry, const QHttpServerRequest& request, QHttpServerResponder&& responder)
{
    entry.target = SimulatedRequest::Target::VendorService;
    // A form post carries its parameters in the body.
    if (entry.method == QLatin1String("POST") || entry.method == QLatin1String("PUT"))
        entry.parameters += ProductApiSignature::decodeQuery(request.body());
    entry.operation = entry.parameter(QStringLiteral("Service"));

    VendorService::Request vendorRequest { entry.method, entry.path, entry.parameters };
    VendorService::Settings settings;
    settings.signingKey
        = d->vendorSigningKey.isEmpty() ? Global::SignatureKeyString : d->vendorSigningKey;
    settings.checkSignature = d->signatureCheck;
    settings.now = currentTime();
    settings.version = d->version;
    // A fault that stands for a failing service keeps the mail from being
    // sent; the others only spoil how the answer travels.
    const std::optional<SimulatedFault> fault = takeFault(SimulatedFault::Target::VendorService);
    const bool serviceFails = fault
        && (fault->kind == SimulatedFault::Kind::Http500
            || fault->kind == SimulatedFault::Kind::Http503
            || fault->kind == SimulatedFault::Kind::ErrorReply);
    const VendorService::Outcome outcome
        = VendorService::answer(vendorRequest, settings, serviceFails ? nullptr : &d->mailbox);
    entry.signatureValid = outcome.signatureValid;
    entry.rejection = outcome.rejection;
    deliver(
        entry, std::move(responder), outcome.answer, fault, SimulatedFault::Target::VendorService);
}

void SimulatedStore::deliver(SimulatedRequest& entry, QHttpServerResponder&& responder,
    const HttpAnswer& answer, const std::optional<SimulatedFault>& fault,
    SimulatedFault::Target target)
{
    if (!fault) {
        entry.httpStatus = answer.status;
        record(entry);
        d->delivery.send(std::move(responder), answer);
        return;
    }
    const QString operation = entry.operation;
    const auto errorDocument = [target, operation](int status, const QString& code,
                                   const QString& message, const QString& level) {
        switch (target) {
        case SimulatedFault::Target::ProductApi:
            return HttpAnswer::xml(status,
                ProductApiReply::errorResponse(operation, { code, message },
                    QUuid::createUuid().toString(QUuid::WithoutBraces)));
        case SimulatedFault::Target::VendorService:
            return HttpAnswer::xml(status, VendorService::errorReply(level, message));
        case SimulatedFault::Target::Image:
            break;
        }
        return HttpAnswer::text(status, message.toUtf8() + '\n');
    };
    const HttpAnswer faulty = ReplyDelivery::faultyAnswer(answer, *fault, errorDocument);
    entry.httpStatus = faulty.status;
    entry.fault = SimulatedFault::kindName(fault->kind);
    record(entry);
    d->delivery.sendWithFault(std::move(responder), faulty, *fault);
}

void SimulatedStore::handleImage(SimulatedRequest& entry, QHttpServerResponder&& responder)
{
    entry.target = SimulatedRequest::Target::Image;
    QString asin;
    QString size;
    HttpAnswer answer = HttpAnswer::text(404, "Not Found\n");
    if (entry.method == QLatin1String("GET") && ProductImage::parsePath(entry.path, &asin, &size))
        answer = { 200, QByteArrayLiteral("image/png"),
            ProductImage::png(asin, ProductImage::side(size)) };
    deliver(entry, std::move(responder), answer, takeFault(SimulatedFault::Target::Image),
        SimulatedFault::Target::Image);
}

// Every other host gets 404, so nothing ever leaves this machine.
void SimulatedStore::handleOtherHost(SimulatedRequest& entry, QHttpServerResponder&& responder)
{
    entry.httpStatus = 404;
    record(entry);
    d->delivery.send(std::move(responder), HttpAnswer::text(404, "Not Found\n"));
}
