#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDomElement>
#include <QHash>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

class QNetworkAccessManager;

// The only client of the product advertising API. Product lookups (grouped by
// store, at most ten ASINs a request) and cart creations go through one FIFO
// queue; one signed GET is in flight at a time and the next one leaves at the
// earliest 500 ms after the previous reply finished. Each reply body is
// gathered whole and parsed once into item records, a cart URL or an error.
class AmazonConnector : public QObject
{
    Q_OBJECT

public:
    // Source of the current time; the timestamp of a request is taken from
    // it when the request is sent.
    using Clock = std::function<QDateTime()>;

    static constexpr int MaxAsinsPerRequest = 10;
    static constexpr int DefaultPauseMilliseconds = 500;
    static constexpr int DefaultReplyTimeoutMilliseconds = 30000;
    // Lookups of ten items are some tens of KiB; a reply beyond this is cut
    // off before it fills the memory.
    static constexpr qint64 MaximumReplyBytes = 16 * 1024 * 1024;
    // The largest amount (in the currency's smallest unit) read as a price:
    // ten billion dollars, a hundred billion yen.
    static constexpr double MaximumAmount = 1e12;

    explicit AmazonConnector(QObject* parent = nullptr);
    ~AmazonConnector() override;

    // Looks up products of one store, in batches of at most ten. A price
    // look-up leaves out the ASINs that still wait, unsent, in the queue.
    void QueryProduct(const QStringList& asins, const QString& locale, bool bPriceOnly);

    // Appends one request to the queue and starts the queue if it is idle.
    void RequestQuery(const QVariantMap& requestData, const QString& locale);

    // An empty function goes back to the system clock.
    void SetClock(Clock clock);

    // A request without a complete answer within this time is aborted and
    // reported as a network error; the queue then goes on.
    void SetReplyTimeout(int nMilliseconds);
    int ReplyTimeout() const { return m_replyTimeoutMs; }

    // The pause after each finished reply before the next request leaves.
    void SetPause(int nMilliseconds);
    int Pause() const { return m_pauseMs; }

    // Text of the element reached from parent by the comma-separated path of
    // child names (first child of each name), or an empty string.
    static QString GetFirstChildText(const QDomElement& parent, const QString& path);

    // Parses one complete reply of the given operation for the given store
    // and emits the result: ProductInfoAvailable, CartAvailable or Error.
    // Given the ASINs the lookup asked for, items of other ASINs (compared
    // without regard to case) are not read; an error says so.
    void ParseXml(const QByteArray& data, const QString& operation, const QString& locale,
        const QStringList& askedAsins = QStringList());

public slots:
    // Looks up products of several stores; asins[i] belongs to locales[i].
    // The stores are queried in the order of the store table.
    void QueryProduct(
        const QStringList& asins, const QStringList& locales, bool bPriceOnly = false);

    // Puts the offers (listing id -> quantity) into a new cart of the store.
    void CreateCart(const QVariantMap& offers, const QString& locale);

signals:
    void ProductInfoAvailable(const QVariantList& items);
    void CartAvailable(const QString& cart_url);
    void Error(const QString& error_msg);

protected slots:
    void ExecuteNextQuery();
    void OnReadyRead();
    void OnError(QNetworkReply::NetworkError error);
    void OnSslError();
    void OnFinished();
    void OnReplyTimeout();

protected:
    // Parses the body of the current reply, whose properties name the
    // operation and the store.
    void ParseXml(const QByteArray& data);

private:
    QVariantMap CompleteParameters(const QVariantMap& requestData, const QString& locale) const;
    void SendRequest(const QVariantMap& parameters, const QString& locale);
    void ReleaseCurrentReply();
    // Counts the ASINs of a queued look-up in (nChange 1) or out (-1).
    void TrackWaitingLookup(const QVariantMap& entry, int nChange);
    void ReportFinishedReply();
    void ParseLookupReply(
        const QDomElement& root, const QString& locale, const QStringList& askedAsins);
    void ParseCartReply(const QDomElement& root);

    QVariantList m_queryQueue;
    // (locale, ASIN) of every look-up waiting, unsent, in the queue, with
    // how many entries ask for it.
    QHash<QPair<QString, QString>, int> m_waitingLookups;
    QPointer<QNetworkReply> m_currentReply;
    QNetworkAccessManager* m_networkAccessManager = nullptr;

    // State of the reply in flight: its gathered body and how it failed.
    QByteArray m_replyBody;
    QNetworkReply::NetworkError m_replyError = QNetworkReply::NoError;
    bool m_sslErrorReported = false;
    bool m_timedOut = false;
    bool m_tooLarge = false;

    QTimer m_replyTimer;
    Clock m_clock;
    int m_pauseMs = DefaultPauseMilliseconds;
    int m_replyTimeoutMs = DefaultReplyTimeoutMilliseconds;
};
