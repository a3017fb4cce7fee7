#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDomNode>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// Client of the vendor's web service (Global::ServiceUrl): parameter-style
// requests signed with HMAC-SHA-256 under Global::SignatureKeyString,
// answered with small XML documents. Queries wait in a queue and leave one
// at a time on the ticks of a 100 ms timer.
//
// Every failure reaches Error with the service name of the request it
// belongs to (network, HTTP status, error reply, unreadable or oversized
// reply), so a failed "SendEmail" can always be told apart; only a query
// without a service, or a reply parsed with no request in flight, passes
// an empty service name.
class ServiceManager : public QObject
{
    Q_OBJECT

public:
    // Source of the current time; a query's timestamp is taken from it when
    // the query is sent.
    using Clock = std::function<QDateTime()>;

    static constexpr int QueueIntervalMilliseconds = 100;
    // The service answers with a few hundred bytes; anything beyond this is
    // not a reply of it and is cut off before it fills the memory.
    static constexpr qint64 MaximumReplyBytes = 4 * 1024 * 1024;
    // A request that stays silent this long ends as a network error, so a
    // dead server cannot block the queue for good.
    static constexpr int ReplyTimeoutMilliseconds = 60000;

    explicit ServiceManager(QObject* parent = nullptr);
    ~ServiceManager() override;

    // Queues one query: a parameter map that names its "Service", sent with
    // the HTTP method ("GET" when empty, "POST" or "PUT").
    void Query(const QVariantMap& parameters, const QString& method = QString());

    // An empty function goes back to the system clock.
    void SetClock(Clock clock);

    // One entry per child node: tag name -> all the text below it.
    static QVariantMap GetNodeInfo(const QDomNode& node);

    // Interprets one reply body of the request in flight and emits its
    // signal.
    virtual void ParseXml(const QByteArray& data);

signals:
    void Error(QString error_msg, QString service = "", QString level = "Error");
    void VersionInfoAvailable(QVariantMap info);
    void UserInfoAvailable(QVariantMap user_info);
    void QueryProgress(int percentage);
    void SyncDataAvailable(QVariantMap data);
    void CoverImagesAvailable(QStringList urls);
    void SearchResultAvailable(QVariantMap data);
    void TitleInfosAvailable(QVariantList titles);

public slots:
    // Drops every waiting query and cancels the one in flight, silently.
    void Abort();
    void QueryVersion();
    void QuerySendEmail(QString email, QString subject, QString content);

private slots:
    void OnReadyRead();
    void OnFinished();
    void CheckQueryQueue();
    void Reset();
    void OnDownloadProgress(qint64 bytesReceived, qint64 bytesTotal);

private:
    void DoQuery(const QVariantMap& query);
    void CutOffOversizedReply();
    QString CurrentService() const;
    // Emits the signal of a reply of a known service; false for any other.
    bool DispatchReply(const QDomElement& root);

    QVariantList m_queryQueue;
    QPointer<QNetworkReply> m_currentReply;
    QNetworkAccessManager* m_networkAccessManager = nullptr;
    QTimer m_queueTimer;
    QByteArray m_receiveBuffer;
    bool m_replyTooLarge = false;
    Clock m_clock;
};
