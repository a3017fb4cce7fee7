#include "HttpNode.h"

#include "CurlMulti.h"
#include "CurlTransfer.h"
#include "Global.h"
#include "ReplyText.h"

#include <QFile>
#include <utility>

namespace {

// Printable ASCII without blanks and without a fragment: a text that can go
// on the request line exactly as the caller wrote it.
bool IsPlainTarget(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() <= u' ' || c.unicode() > u'~' || c == u'#')
            return false;
    }
    return !text.isEmpty();
}

// Credentials travel in the Authorization field, never on the request line,
// where proxies and server logs would keep them.
QByteArray RequestTarget(const QString& text, const QUrl& url, bool bKeepText)
{
    if (bKeepText && url.userInfo().isEmpty() && IsPlainTarget(text))
        return text.toLatin1();
    return url.toEncoded(QUrl::RemoveUserInfo | QUrl::RemoveFragment);
}

QByteArray HostField(const QUrl& url)
{
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    const int defaultPort = url.scheme() == QLatin1String("https") ? 443 : 80;
    if (url.port() != -1 && url.port() != defaultPort)
        host += ':' + QByteArray::number(url.port());
    return host;
}

} // namespace

// The request on its way and what its response head said.
struct HttpNode::Running
{
    int id = 0;
    QUrl url;
    std::unique_ptr<CurlTransfer> transfer;
    QString startError;
    bool relocated = false;
    QString location;
    bool refused = false;
};

HttpNode::HttpNode(QObject* parent)
    : QObject(parent)
    , m_multi(new CurlMulti(this))
{
    connect(this, &HttpNode::URLRelocated, this, &HttpNode::OnURLRelocated, Qt::QueuedConnection);
}

HttpNode::~HttpNode()
{
    // Transfers go back to the multi handle before it goes with the children.
    m_running.reset();
}

bool HttpNode::IsIdle() const
{
    return !m_running && m_waiting.isEmpty() && !m_relocating;
}

void HttpNode::SetCaBundle(const QString& strPath)
{
    m_caBundle = strPath;
}

void HttpNode::SetProxy(const QString& strProxy)
{
    m_proxy = strProxy;
}

void HttpNode::SetStallTimeout(int nSeconds)
{
    m_stallSeconds = nSeconds;
}

void HttpNode::SendGetRequest(const QString& url_strg)
{
    m_redirects = 0;
    Enqueue(Request { 0, url_strg, false, QByteArray(), true });
}

void HttpNode::SendPostRequest(
    const QString& url_strg, const QString& postdata, bool bStayConnected)
{
    m_redirects = 0;
    Enqueue(Request { 0, url_strg, true, postdata.toUtf8(), bStayConnected });
}

void HttpNode::Abort()
{
    m_waiting.clear();
    m_running.reset();
    m_relocating = false;
    m_currentId = 0;
}

void HttpNode::Enqueue(Request request)
{
    request.id = ++m_lastId;
    m_currentId = request.id;
    m_relocating = false;
    if (m_running)
        m_waiting.append(std::move(request));
    else
        Start(request);
}

void HttpNode::Start(const Request& request)
{
    m_running = std::make_unique<Running>();
    Running* running = m_running.get();
    running->id = request.id;
    running->url = QUrl(request.url);
    const QUrl& url = running->url;
    const int id = request.id;
    const auto finish = [this, id](bool bError) { OnRequestFinished(id, bError); };

    if (!url.isValid() || url.host().isEmpty()) {
        running->startError = tr("Invalid URL");
        QMetaObject::invokeMethod(
            this, [finish] { finish(true); }, Qt::QueuedConnection);
        return;
    }

    CurlTransfer::Request curlRequest;
    curlRequest.url = url.toEncoded(QUrl::RemoveUserInfo | QUrl::RemoveFragment);
    curlRequest.target = RequestTarget(request.url, url, !request.post);
    curlRequest.headers << "Host: " + HostField(url) << "Accept:";
    if (!Global::UserAgentString.isEmpty())
        curlRequest.headers << "User-Agent: " + Global::UserAgentString.toUtf8();
    if (request.post) {
        if (request.stayConnected)
            curlRequest.headers << "Connection: keep-alive";
        curlRequest.headers << "Content-Type: application/x-www-form-urlencoded"
                            << "Expect:";
    }
    curlRequest.post = request.post;
    curlRequest.body = request.body;
    curlRequest.user = url.userName(QUrl::FullyDecoded).toUtf8();
    curlRequest.password = url.password(QUrl::FullyDecoded).toUtf8();
    curlRequest.caBundle = QFile::encodeName(m_caBundle);
    curlRequest.proxy = m_proxy.toUtf8();
    curlRequest.reuseConnection = request.stayConnected;
    curlRequest.maxBodyBytes = MaxBodyBytes;
    curlRequest.stallSeconds = m_stallSeconds;

    // Runs inside curl: it only notes what the head says and whether to read
    // on. The first Location field wins over any status.
    const auto readHead = [running](int nStatus, const QByteArray& name, const QByteArray& value) {
        if (!name.isEmpty()) {
            if (name.compare("location", Qt::CaseInsensitive) != 0)
                return true;
            running->relocated = true;
            running->location = QString::fromUtf8(value);
            return false;
        }
        running->refused = nStatus != 200 && nStatus != 500;
        return !running->refused;
    };
    running->transfer = std::make_unique<CurlTransfer>(*m_multi, std::move(curlRequest), readHead,
        [finish, running] { finish(running->transfer->Result() != CURLE_OK); });
    if (!running->transfer->Start()) {
        running->startError = running->transfer->ErrorText();
        QMetaObject::invokeMethod(
            this, [finish] { finish(true); }, Qt::QueuedConnection);
    }
}

void HttpNode::OnRequestFinished(int id, bool bError)
{
    if (!m_running || m_running->id != id)
        return;
    const std::unique_ptr<Running> done = std::move(m_running);
    if (!m_waiting.isEmpty())
        Start(m_waiting.takeFirst());
    if (id != m_currentId)
        return;

    // Everything is taken out of the transfer before a signal goes out: a
    // receiver may delete this node.
    const CurlTransfer* transfer = done->transfer.get();
    bool failed = true;
    QString error;
    QByteArray body;
    if (done->relocated) {
        m_relocating = true;
        m_relocationBase = done->url;
    } else if (!transfer || !done->startError.isEmpty()) {
        error = done->startError;
    } else if (done->refused) {
        // The server's own words, on their way to the user's screen.
        error = ReplyText::Displayable(
            QString::fromUtf8(transfer->ReasonPhrase()), ReplyText::ShortTextLength);
        if (error.isEmpty())
            error = tr("HTTP status %1").arg(transfer->Status());
    } else if (transfer->BodyTooLarge()) {
        error = tr("The response is larger than %1 MiB").arg(MaxBodyBytes / (1024 * 1024));
    } else if (bError) {
        error = transfer->ErrorText();
    } else {
        failed = false;
        body = transfer->Body();
    }
    const QString location = done->location;
    const bool relocated = done->relocated;
    done->transfer.reset();

    if (relocated)
        emit URLRelocated(location);
    else if (failed)
        emit Error(error);
    else
        emit HttpResponseAvailable(body);
}

void HttpNode::OnURLRelocated(const QString& url)
{
    // A request sent, or an Abort, since the Location was read cancels it.
    if (!m_relocating)
        return;
    m_relocating = false;
    if (++m_redirects > MaxRedirects) {
        emit Error(tr("Too many redirects"));
        return;
    }
    // A relative Location is taken relative to the URL that gave it.
    const QUrl relative(url);
    const QString next = relative.isRelative()
        ? m_relocationBase.resolved(relative).toString(QUrl::FullyEncoded)
        : url;
    Enqueue(Request { 0, next, false, QByteArray(), true });
}
