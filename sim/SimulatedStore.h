#pragma once

#include "SimulatedFault.h"
#include "SimulatedItem.h"
#include "SimulatedMailbox.h"
#include "SimulatedRequest.h"
#include "VendorService.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class SimulatedCatalogue;
class SimulatedHttpServer;
class QHttpServerRequest;
class QHttpServerResponder;

// A stand-in for the retailer's product API and the vendor's service, run
// as the app's HTTP proxy on 127.0.0.1. Requests in absolute form are told
// apart by their target host: a store's product API host
// (Global::ApiHost), the vendor's host (Global::DomainName), the image
// host, or anything else (404). Requests in origin form to the store's own
// address reach its JSON control interface.
//
// Tests embed it in-process; pricewarden-sim wraps it in a process.
class SimulatedStore : public QObject
{
    Q_OBJECT

public:
    // Reads the clock used by the timestamp check.
    using Clock = std::function<QDateTime()>;

    // Shares the app's compiled-in configuration: Global::InitializeSettings()
    // runs here when nobody has run it yet.
    explicit SimulatedStore(QObject* parent = nullptr);
    ~SimulatedStore() override;

    // Listens on 127.0.0.1; port 0 picks a free one. False when the port is
    // taken.
    bool listen(quint16 port = 0);
    bool isListening() const;
    quint16 port() const;
    // "http://127.0.0.1:<port>", the value for http_proxy.
    QString proxyUrl() const;

    // --- catalogue -----------------------------------------------------------
    // Replaces the catalogue by the one in a JSON file (format in
    // docs/simulator.md). On failure the catalogue is unchanged and the error
    // text says why.
    bool loadCatalogue(const QString& filePath, QString* errorMessage = nullptr);
    bool loadCatalogueJson(const QByteArray& json, QString* errorMessage = nullptr);
    // Back to the built-in catalogue, tick count 0.
    void resetCatalogue();
    QByteArray catalogueJson() const;

    QStringList asins(const QString& locale) const;
    std::optional<SimulatedItem> item(const QString& locale, const QString& asin) const;
    // Adds the item to the store, replacing one with the same ASIN; an item
    // with a price but no offer listing id gets a generated one. False for a
    // locale that is not one of the six stores.
    bool addItem(const QString& locale, const SimulatedItem& item);
    bool removeItem(const QString& locale, const QString& asin);

    // Each setter returns false when the store does not carry the ASIN.
    // Amounts are in the smallest unit; 0 removes the element (price 0: no
    // offer at all).
    bool setPrice(const QString& locale, const QString& asin, qint64 amount);
    bool setListPrice(const QString& locale, const QString& asin, qint64 amount);
    bool setLowestNewPrice(const QString& locale, const QString& asin, qint64 amount);
    bool setLowestUsedPrice(const QString& locale, const QString& asin, qint64 amount);
    // Stock 0 takes the offer off the reply (out of stock).
    bool setStock(const QString& locale, const QString& asin, int quantity);
    bool setAvailability(const QString& locale, const QString& asin, const QString& text);
    bool setOfferListingId(const QString& locale, const QString& asin, const QString& id);

    // --- price schedule --------------------------------------------------------
    // Prices and stock move every tick on a schedule fixed by the seed; 0
    // seconds (the default when embedded) freezes them.
    void setSeed(quint32 seed);
    quint32 seed() const;
    void setTickSeconds(int seconds);
    int tickSeconds() const;
    // Runs the schedule by hand, as if the tick timer had fired.
    void advanceTicks(int count = 1);
    int tickCount() const;

    // --- request checks --------------------------------------------------------
    // Default: the system clock in UTC. Pass an empty function to go back.
    void setClock(Clock clock);
    QDateTime currentTime() const;
    // Off: every product API request counts as correctly signed.
    void setSignatureCheckEnabled(bool enabled);
    bool isSignatureCheckEnabled() const;
    // Overrides the account the signature is checked against; empty values
    // fall back to Global::AccessKeyString / Global::SecretKeyString.
    void setCredentials(const QString& accessKeyId, const QString& secretKey);

    // --- vendor service ----------------------------------------------------------
    // Overrides the key vendor requests are checked against; empty falls
    // back to Global::SignatureKeyString. The signature check setting above
    // applies to them too.
    void setVendorSigningKey(const QString& key);
    // What the "Version" service answers.
    void setVersionInfo(const VendorService::VersionInfo& info);
    VendorService::VersionInfo versionInfo() const;
    // The mbox file that delivered e-mails are appended to; empty (the
    // default when embedded) keeps them in memory only.
    void setMailboxFile(const QString& path);
    QString mailboxFile() const;
    // The newest delivered mails, oldest first.
    QList<SimulatedMail> mails() const;
    int deliveredMailCount() const;
    void clearMails();

    // --- faults ------------------------------------------------------------------
    // Faults apply to the next requests to their target, oldest injection
    // first; each one lasts for its count of requests. The short form aims
    // at the product API.
    void injectFault(SimulatedFault::Kind kind, int count = 1, int delayMs = 0);
    void injectFault(const SimulatedFault& fault);
    QList<SimulatedFault> pendingFaults() const;
    void clearFaults();
    // Closes the connections held open by NoAnswer faults.
    void releaseSilentConnections();

    // --- request log -----------------------------------------------------------
    QList<SimulatedRequest> requestLog() const;
    int requestCount() const;
    void clearRequestLog();
    // Also write one line per request to stderr (pricewarden-sim does;
    // embedded stores do when PRICEWARDEN_SIM_LOG=1).
    void setLogToStderr(bool enabled);

    // --- hosts and URLs --------------------------------------------------------
    // The six stores, in the order of the app's store table.
    static const QStringList& storeLocales();
    // A store's product API host: Global::ApiHost(locale).
    static QString apiHost(const QString& locale);
    // Host serving the product images: "images.pricewarden-sim.example".
    static QString imageHost();
    // URL of an item's image; size is "swatch", "small", "medium" or "large".
    static QString imageUrl(const QString& asin, const QString& size);
    // A correctly signed product API URL for these parameters, as the app
    // should send it (the access key, associate tag, service and timestamp
    // are added when missing). For tests that talk to the store directly.
    QString signedUrl(
        const QString& locale, const QList<QPair<QString, QString>>& parameters) const;

Q_SIGNALS:
    void requestLogged(const SimulatedRequest& request);
    void requestCountChanged(int count);
    // The schedule or a control request changed prices or stock.
    void catalogueChanged();

private:
    struct Private;
    std::unique_ptr<Private> d;

    void handleRequest(const QHttpServerRequest& request, QHttpServerResponder&& responder);
    void handleProductApi(SimulatedRequest& entry, const QHttpServerRequest& request,
        QHttpServerResponder&& responder);
    void handleVendorService(SimulatedRequest& entry, const QHttpServerRequest& request,
        QHttpServerResponder&& responder);
    void handleImage(SimulatedRequest& entry, QHttpServerResponder&& responder);
    void handleOtherHost(SimulatedRequest& entry, QHttpServerResponder&& responder);
    // Sends the answer, changed by the fault taken for the request if any,
    // and records the request.
    void deliver(SimulatedRequest& entry, QHttpServerResponder&& responder,
        const HttpAnswer& answer, const std::optional<SimulatedFault>& fault,
        SimulatedFault::Target target);
    std::optional<SimulatedFault> takeFault(SimulatedFault::Target target);
    void record(const SimulatedRequest& entry);
    void writeLogLine(const SimulatedRequest& entry) const;
    bool changeItem(const QString& locale, const QString& asin,
        const std::function<void(SimulatedItem&)>& change);
    void onTick();
};
