#include "SimulatedStore.h"

// Interim bodies so that code written against the interface links; the
// store's behaviour replaces them.
struct SimulatedStore::Private
{
    QList<SimulatedRequest> log;
    QList<SimulatedFault> faults;
    quint32 seed = 1;
    int tickSeconds = 0;
    int ticks = 0;
    bool signatureCheck = true;
    Clock clock;
};

SimulatedStore::SimulatedStore(QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
}

SimulatedStore::~SimulatedStore() = default;

bool SimulatedStore::listen(quint16)
{
    return false;
}
bool SimulatedStore::isListening() const
{
    return false;
}
quint16 SimulatedStore::port() const
{
    return 0;
}
QString SimulatedStore::proxyUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}
bool SimulatedStore::loadCatalogue(const QString&, QString*)
{
    return false;
}
bool SimulatedStore::loadCatalogueJson(const QByteArray&, QString*)
{
    return false;
}
void SimulatedStore::resetCatalogue()
{
}
QByteArray SimulatedStore::catalogueJson() const
{
    return {};
}
QStringList SimulatedStore::asins(const QString&) const
{
    return {};
}
std::optional<SimulatedItem> SimulatedStore::item(const QString&, const QString&) const
{
    return std::nullopt;
}
bool SimulatedStore::addItem(const QString&, const SimulatedItem&)
{
    return false;
}
bool SimulatedStore::removeItem(const QString&, const QString&)
{
    return false;
}
bool SimulatedStore::setPrice(const QString&, const QString&, qint64)
{
    return false;
}
bool SimulatedStore::setListPrice(const QString&, const QString&, qint64)
{
    return false;
}
bool SimulatedStore::setLowestNewPrice(const QString&, const QString&, qint64)
{
    return false;
}
bool SimulatedStore::setLowestUsedPrice(const QString&, const QString&, qint64)
{
    return false;
}
bool SimulatedStore::setStock(const QString&, const QString&, int)
{
    return false;
}
bool SimulatedStore::setAvailability(const QString&, const QString&, const QString&)
{
    return false;
}
bool SimulatedStore::setOfferListingId(const QString&, const QString&, const QString&)
{
    return false;
}
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
    d->tickSeconds = seconds;
}
int SimulatedStore::tickSeconds() const
{
    return d->tickSeconds;
}
void SimulatedStore::advanceTicks(int count)
{
    d->ticks += count;
}
int SimulatedStore::tickCount() const
{
    return d->ticks;
}
void SimulatedStore::setClock(Clock clock)
{
    d->clock = std::move(clock);
}
QDateTime SimulatedStore::currentTime() const
{
    return d->clock ? d->clock() : QDateTime::currentDateTimeUtc();
}
void SimulatedStore::setSignatureCheckEnabled(bool enabled)
{
    d->signatureCheck = enabled;
}
bool SimulatedStore::isSignatureCheckEnabled() const
{
    return d->signatureCheck;
}
void SimulatedStore::setCredentials(const QString&, const QString&)
{
}
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
}
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
}
void SimulatedStore::setLogToStderr(bool)
{
}
QString SimulatedStore::imageHost()
{
    return QStringLiteral("images.pricewarden-sim.example");
}
QString SimulatedStore::imageUrl(const QString& asin, const QString& size)
{
    return QStringLiteral("http://%1/images/P/%2.%3.png").arg(imageHost(), asin, size);
}
void SimulatedStore::handleRequest(const QHttpServerRequest&, QHttpServerResponder&&)
{
}
void SimulatedStore::onTick()
{
}
