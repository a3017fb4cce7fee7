#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <memory>

class CurlMulti;
class CurlTransfer;

// A small HTTP client for one request at a time: a GET, or a POST of a form,
// whose whole response body is handed back. The request line carries the
// absolute URL. A Location field in the response is followed with a GET of
// its URL; status 200 and 500 deliver their body, every other status ends in
// Error with the status line's reason phrase. A request sent while another
// is on its way waits for it, and only the newest one is answered.
//
// By default the node talks to the host itself (http_proxy and the like are
// ignored) and trusts the system's certificate authorities.
class HttpNode : public QObject
{
    Q_OBJECT

public:
    // A longer chain of redirects ends in Error instead of another request.
    static constexpr int MaxRedirects = 10;
    // A longer response body ends in Error; the transfer stops there.
    static constexpr qint64 MaxBodyBytes = 16 * 1024 * 1024;
    static constexpr int DefaultStallSeconds = 30;

    explicit HttpNode(QObject* parent = nullptr);
    // Stops a request in flight; nothing is emitted afterwards.
    ~HttpNode() override;

    // True when no request is waiting, running or about to follow a redirect.
    bool IsIdle() const;

    // A PEM file of certificate authorities to trust instead of the
    // system's; an empty path goes back to the system's. Like the two
    // settings below, it applies to requests that start afterwards.
    void SetCaBundle(const QString& strPath);

    // Sends the requests through this proxy ("http://host:port"); an empty
    // text, the default, goes straight to the host.
    void SetProxy(const QString& strProxy);

    // A request that cannot connect for this many seconds, or that gets less
    // than a byte a second for as long, ends in Error, so that a silent server
    // cannot hold up the requests behind it for ever. Applies to requests
    // sent afterwards.
    void SetStallTimeout(int nSeconds);

public slots:
    void SendGetRequest(const QString& url_strg);
    void SendPostRequest(
        const QString& url_strg, const QString& postdata, bool bStayConnected = true);
    // Drops the running and the waiting requests; none of them is answered.
    void Abort();

signals:
    void Error(const QString& error_msg);
    void URLRelocated(const QString& url);
    void HttpResponseAvailable(const QByteArray& rawxml);

private slots:
    void OnURLRelocated(const QString& url);
    void OnRequestFinished(int id, bool bError);

private:
    struct Request
    {
        int id = 0;
        QString url;
        bool post = false;
        QByteArray body;
        bool stayConnected = true;
    };
    struct Running;

    void Enqueue(Request request);
    void Start(const Request& request);

    CurlMulti* m_multi = nullptr;
    std::unique_ptr<Running> m_running;
    QList<Request> m_waiting;
    int m_lastId = 0;
    // The newest request: the only one whose outcome is reported.
    int m_currentId = 0;
    int m_redirects = 0;
    bool m_relocating = false;
    QUrl m_relocationBase;
    QString m_caBundle;
    QString m_proxy;
    int m_stallSeconds = DefaultStallSeconds;
};
