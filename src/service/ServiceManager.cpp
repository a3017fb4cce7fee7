#include "ServiceManager.h"

#include "Global.h"
#include "ReplyText.h"
#include "XmlReplyCheck.h"

#include <QDebug>
#include <QDomDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

const QString ServiceKey = QStringLiteral("Service");
const QString MethodKey = QStringLiteral("Method");
const QString VersionKey = QStringLiteral("Version");
const QString TimestampKey = QStringLiteral("Timestamp");
const QString GetMethod = QStringLiteral("GET");
const QString PostMethod = QStringLiteral("POST");
const QString PutMethod = QStringLiteral("PUT");
// Enough of an unreadable reply to recognise it.
constexpr qsizetype MaximumLoggedBytes = 1024;

QString Encoded(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// Formatted by hand and converted first, so that the text always ends in
// exactly one "Z" whether the clock hands out local, UTC or offset times.
QString TimestampText(const QDateTime& time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) + QLatin1Char('Z');
}

QString ChildText(const QDomElement& parent, const QString& name)
{
    return parent.firstChildElement(name).text();
}

QVariantList NodeInfoList(const QDomElement& parent)
{
    QVariantList list;
    for (QDomNode child = parent.firstChild(); !child.isNull(); child = child.nextSibling())
        list << ServiceManager::GetNodeInfo(child);
    return list;
}

// A warning line or a BOM ahead of the document is not part of it.
QByteArray FromLastDeclaration(const QByteArray& data)
{
    const qsizetype start = data.lastIndexOf("<?xml version=");
    return start < 0 ? data : data.mid(start);
}

} // namespace

ServiceManager::ServiceManager(QObject* parent)
    : QObject(parent)
    , m_clock([] { return QDateTime::currentDateTimeUtc(); })
{
    // The system proxy (http_proxy on Linux) carries the requests, as for
    // the product API.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    m_networkAccessManager = new QNetworkAccessManager(this);
    // Precise, so that no tick comes early.
    m_queueTimer.setTimerType(Qt::PreciseTimer);
    m_queueTimer.setInterval(QueueIntervalMilliseconds);
    connect(&m_queueTimer, &QTimer::timeout, this, &ServiceManager::CheckQueryQueue);
}

ServiceManager::~ServiceManager()
{
    m_queueTimer.stop();
    if (m_currentReply) {
        // Deleting a running reply aborts it; nothing of it may reach this
        // half-destroyed object any more.
        disconnect(m_currentReply, nullptr, this, nullptr);
        delete m_currentReply;
    }
}

void ServiceManager::SetClock(Clock clock)
{
    if (clock)
        m_clock = std::move(clock);
    else
        m_clock = [] { return QDateTime::currentDateTimeUtc(); };
}

void ServiceManager::Query(const QVariantMap& parameters, const QString& method)
{
    if (!parameters.contains(ServiceKey)) {
        emit Error(tr("No service specified."), QString(), QStringLiteral("Error"));
        return;
    }
    const QString httpMethod = method.isEmpty() ? GetMethod : method.toUpper();
    if (httpMethod != GetMethod && httpMethod != PostMethod && httpMethod != PutMethod) {
        emit Error(tr("Unsupported request method: %1").arg(method),
            parameters.value(ServiceKey).toString(), QStringLiteral("Error"));
        return;
    }
    QVariantMap query = parameters;
    query.insert(MethodKey, httpMethod);
    query.insert(VersionKey, Global::VersionString);
    m_queryQueue.append(query);
    if (!m_queueTimer.isActive())
        m_queueTimer.start();
}

void ServiceManager::QueryVersion()
{
    Query({ { ServiceKey, QStringLiteral("Version") } }, QString());
}

void ServiceManager::QuerySendEmail(QString email, QString subject, QString content)
{
    // The content stays text until the parameters are escaped, so it is
    // UTF-8-encoded exactly once; a byte-array detour has been known to
    // encode it twice.
    Query({ { ServiceKey, QStringLiteral("SendEmail") }, { QStringLiteral("Email"), email },
              { QStringLiteral("Subject"), subject }, { QStringLiteral("Content"), content } },
        PostMethod);
}

void ServiceManager::CheckQueryQueue()
{
    if (m_currentReply)
        return;
    if (m_queryQueue.isEmpty()) {
        m_queueTimer.stop();
        return;
    }
    DoQuery(m_queryQueue.takeFirst().toMap());
}

void ServiceManager::DoQuery(const QVariantMap& query)
{
    QVariantMap parameters = query;
    const QString service = parameters.value(ServiceKey).toString();
    const QString method = parameters.take(MethodKey).toString();
    parameters.insert(TimestampKey, TimestampText(m_clock()));
    if (!parameters.contains(VersionKey))
        parameters.insert(VersionKey, Global::VersionString);

    // QVariantMap iterates its keys in QString order: by UTF-16 code unit,
    // upper case before lower case, which is the order that is signed.
    QStringList pairs;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
        pairs << it.key() + QLatin1Char('=') + Encoded(it.value().toString());
    const QString parameterString = pairs.join(QLatin1Char('&'));
    const QString signedString = parameterString + QStringLiteral("&Signature=")
        + Encoded(Global::GetHMAC(parameterString, Global::SignatureKeyString));

    const QString url = method == GetMethod ? Global::ServiceUrl + QLatin1Char('?') + signedString
                                            : Global::ServiceUrl;
    QNetworkRequest request(QUrl::fromEncoded(url.toUtf8()));
    request.setTransferTimeout(ReplyTimeoutMilliseconds);
    QNetworkReply* reply = nullptr;
    if (method == GetMethod) {
        reply = m_networkAccessManager->get(request);
    } else {
        request.setHeader(QNetworkRequest::ContentTypeHeader,
            QByteArrayLiteral("application/x-www-form-urlencoded"));
        reply = method == PostMethod ? m_networkAccessManager->post(request, signedString.toUtf8())
                                     : m_networkAccessManager->put(request, signedString.toUtf8());
    }
    m_currentReply = reply;
    m_receiveBuffer.clear();
    m_replyTooLarge = false;
    reply->setProperty("Service", service);
    disconnect(reply, nullptr, this, nullptr);
    connect(reply, &QNetworkReply::readyRead, this, &ServiceManager::OnReadyRead);
    connect(reply, &QNetworkReply::finished, this, &ServiceManager::OnFinished);
    connect(reply, &QNetworkReply::downloadProgress, this, &ServiceManager::OnDownloadProgress);
}

void ServiceManager::OnReadyRead()
{
    if (!m_currentReply || m_replyTooLarge)
        return;
    if (m_receiveBuffer.size() + m_currentReply->bytesAvailable() > MaximumReplyBytes) {
        CutOffOversizedReply();
        return;
    }
    m_receiveBuffer += m_currentReply->readAll();
}

void ServiceManager::OnDownloadProgress(qint64 bytesReceived, qint64 bytesTotal)
{
    if (bytesTotal > MaximumReplyBytes) {
        CutOffOversizedReply();
        return;
    }
    emit QueryProgress(bytesTotal > 0 ? int(bytesReceived * 100 / bytesTotal) : 100);
}

// Aborting finishes the reply, and OnFinished reports the cut.
void ServiceManager::CutOffOversizedReply()
{
    if (!m_currentReply || m_replyTooLarge)
        return;
    m_replyTooLarge = true;
    m_receiveBuffer.clear();
    if (!m_currentReply->isFinished())
        m_currentReply->abort();
}

void ServiceManager::OnFinished()
{
    if (!m_currentReply)
        return;
    if (m_currentReply->isOpen() && m_currentReply->bytesAvailable() > 0)
        OnReadyRead();
    const QString service = CurrentService();
    const QNetworkReply::NetworkError error = m_currentReply->error();
    if (m_replyTooLarge) {
        emit Error(tr("Reply too large: more than %1 MiB.").arg(MaximumReplyBytes / (1024 * 1024)),
            service, QStringLiteral("Error"));
    } else if (error != QNetworkReply::NoError && error != QNetworkReply::ContentNotFoundError) {
        emit Error(tr("Network error: (%1) %2").arg(int(error)).arg(m_currentReply->errorString()),
            service, QStringLiteral("Error"));
    } else {
        ParseXml(m_receiveBuffer);
    }
    Reset();
}

void ServiceManager::Reset()
{
    if (m_currentReply) {
        disconnect(m_currentReply, nullptr, this, nullptr);
        m_currentReply->deleteLater();
        m_currentReply = nullptr;
    }
    m_receiveBuffer.clear();
    m_replyTooLarge = false;
}

void ServiceManager::Abort()
{
    m_queryQueue.clear();
    if (m_currentReply) {
        // Disconnected first: the cancellation is wanted, not a failure.
        disconnect(m_currentReply, nullptr, this, nullptr);
        m_currentReply->abort();
    }
    Reset();
}

QString ServiceManager::CurrentService() const
{
    return m_currentReply ? m_currentReply->property("Service").toString() : QString();
}

QVariantMap ServiceManager::GetNodeInfo(const QDomNode& node)
{
    QVariantMap info;
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling()) {
        const QDomElement element = child.toElement();
        info.insert(element.tagName(), element.text());
    }
    return info;
}

void ServiceManager::ParseXml(const QByteArray& data)
{
    const QByteArray document = FromLastDeclaration(data);
    const QString requestService = CurrentService();
    const QString problem = XmlReplyCheck::Problem(document);
    if (!problem.isEmpty()) {
        emit Error(tr("Invalid reply: %1").arg(problem), requestService, QStringLiteral("Error"));
        return;
    }
    QDomDocument dom;
    dom.setContent(document);
    const QDomElement root = dom.documentElement();

    const QDomElement error = root.firstChildElement(QStringLiteral("Error"));
    if (!error.isNull()) {
        // Shown in a message box as it stands.
        emit Error(ReplyText::Displayable(
                       ChildText(error, QStringLiteral("Message")), ReplyText::MessageLength),
            requestService,
            ReplyText::Displayable(
                ChildText(error, QStringLiteral("Level")), ReplyText::ShortTextLength));
        return;
    }
    if (DispatchReply(root))
        return;
    // Anything else is not an answer of the service (a proxy's error page, a
    // cut-off document). It is charged to the request it came for, so that a
    // failed e-mail is not mistaken for a sent one.
    qDebug().noquote() << QLatin1Char('"') + QString::fromUtf8(data.left(MaximumLoggedBytes))
            + QLatin1Char('"');
    emit Error(tr("Unknown service"), requestService, QStringLiteral("Error"));
}

bool ServiceManager::DispatchReply(const QDomElement& root)
{
    const QString service = ChildText(root, ServiceKey);
    if (service == QLatin1String("Version")) {
        // The number is shown in the about box and the new-version notice.
        QVariantMap info = GetNodeInfo(root);
        const QString latest = QStringLiteral("LatestVersion");
        if (info.contains(latest))
            info.insert(latest,
                ReplyText::Displayable(info.value(latest).toString(), ReplyText::ShortTextLength));
        emit VersionInfoAvailable(info);
    } else if (service == QLatin1String("UserInfo") || service == QLatin1String("UserRegister")) {
        emit UserInfoAvailable(GetNodeInfo(root.firstChildElement(QStringLiteral("User"))));
    } else if (service == QLatin1String("UserSyncTitles")) {
        QVariantMap data;
        for (const char* name :
            { "TitleStructure", "UserTitleStructure", "Titles", "UserTitles" }) {
            const QString key = QString::fromLatin1(name);
            const QDomElement element = root.firstChildElement(key);
            if (!element.isNull() || key.endsWith(QLatin1String("Structure")))
                data.insert(key, NodeInfoList(element));
        }
        emit SyncDataAvailable(data);
    } else if (service == QLatin1String("TitleCovers")) {
        QStringList urls;
        const QDomElement covers = root.firstChildElement(QStringLiteral("CoverImages"));
        for (QDomNode child = covers.firstChild(); !child.isNull(); child = child.nextSibling())
            urls << QStringLiteral("http://%1%2").arg(Global::DomainName, child.toElement().text());
        emit CoverImagesAvailable(urls);
    } else if (service == QLatin1String("TitleSearch")) {
        QVariantMap data;
        data.insert(QStringLiteral("Titles"),
            NodeInfoList(root.firstChildElement(QStringLiteral("Titles"))));
        for (const char* name : { "TotalNumber", "TotalPages", "Page" })
            data.insert(QString::fromLatin1(name), ChildText(root, QString::fromLatin1(name)));
        emit SearchResultAvailable(data);
    } else if (service == QLatin1String("TitleInfos")) {
        emit TitleInfosAvailable(NodeInfoList(root.firstChildElement(QStringLiteral("Titles"))));
    } else if (service != QLatin1String("SendEmail")) {
        return false;
    }
    return true;
}
