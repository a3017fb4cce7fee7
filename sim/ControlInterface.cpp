#include "ControlInterface.h"

#include "CatalogueJson.h"
#include "Global.h"
#include "SimulatedStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrlQuery>
#include <algorithm>

ControlInterface::ControlInterface(SimulatedStore& store)
    : m_store(store)
{
}

HttpAnswer ControlInterface::answer(
    const QString& method, const QString& path, const QString& query, const QByteArray& body)
{
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.size() < 2 || parts.first() != QLatin1String("control"))
        return failure(404, QStringLiteral("no such endpoint: %1").arg(path));
    const QString endpoint = parts.at(1);
    const QStringList rest = parts.mid(2);
    if (endpoint == QLatin1String("status") && rest.isEmpty())
        return method == QLatin1String("GET") ? status() : wrongMethod(QStringLiteral("GET"));
    if (endpoint == QLatin1String("log") && rest.isEmpty())
        return log(method, query);
    if (endpoint == QLatin1String("catalogue"))
        return catalogue(method, rest, body);
    if (endpoint == QLatin1String("items") && rest.size() == 2)
        return item(method, rest.at(0), rest.at(1), body);
    if (endpoint == QLatin1String("faults") && rest.isEmpty())
        return faults(method, body);
    if (endpoint == QLatin1String("tick") && rest.isEmpty())
        return tick(method, body);
    if (endpoint == QLatin1String("settings") && rest.isEmpty())
        return settings(method, body);
    if (endpoint == QLatin1String("release") && rest.isEmpty())
        return release(method);
    if (endpoint == QLatin1String("mail") && rest.isEmpty())
        return mail(method);
    if (endpoint == QLatin1String("version") && rest.isEmpty())
        return version(method, body);
    return failure(404, QStringLiteral("no such endpoint: %1").arg(path));
}

QJsonObject ControlInterface::requestToJson(const SimulatedRequest& request)
{
    static const char* const targets[] = { "product-api", "vendor-service", "image", "unknown" };
    QJsonArray parameters;
    for (const auto& pair : request.parameters)
        parameters.append(QJsonArray { pair.first, pair.second });
    QJsonObject object;
    object.insert(QStringLiteral("arrival"), request.arrival.toString(Qt::ISODateWithMs));
    object.insert(QStringLiteral("method"), request.method);
    object.insert(QStringLiteral("host"), request.host);
    object.insert(QStringLiteral("path"), request.path);
    object.insert(
        QStringLiteral("target"), QString::fromLatin1(targets[static_cast<int>(request.target)]));
    object.insert(QStringLiteral("locale"), request.locale);
    object.insert(QStringLiteral("operation"), request.operation);
    object.insert(QStringLiteral("parameters"), parameters);
    object.insert(QStringLiteral("signatureValid"), request.signatureValid);
    object.insert(QStringLiteral("rejection"), request.rejection);
    object.insert(QStringLiteral("httpStatus"), request.httpStatus);
    object.insert(QStringLiteral("fault"), request.fault);
    return object;
}

HttpAnswer ControlInterface::status() const
{
    QJsonObject apiHosts;
    QJsonObject webHosts;
    for (const QString& locale : SimulatedStore::storeLocales()) {
        apiHosts.insert(locale, SimulatedStore::apiHost(locale));
        webHosts.insert(locale, Global::WebHost(locale));
    }
    QJsonObject object;
    object.insert(QStringLiteral("port"), m_store.port());
    object.insert(QStringLiteral("proxy"), m_store.proxyUrl());
    object.insert(QStringLiteral("seed"), double(m_store.seed()));
    object.insert(QStringLiteral("tickSeconds"), m_store.tickSeconds());
    object.insert(QStringLiteral("ticks"), m_store.tickCount());
    object.insert(QStringLiteral("signatureCheck"), m_store.isSignatureCheckEnabled());
    object.insert(QStringLiteral("requestCount"), m_store.requestCount());
    object.insert(QStringLiteral("time"), m_store.currentTime().toString(Qt::ISODateWithMs));
    object.insert(QStringLiteral("apiHosts"), apiHosts);
    object.insert(QStringLiteral("webHosts"), webHosts);
    object.insert(QStringLiteral("imageHost"), SimulatedStore::imageHost());
    object.insert(QStringLiteral("vendorHost"), Global::DomainName);
    object.insert(QStringLiteral("mbox"), m_store.mailboxFile());
    object.insert(QStringLiteral("faults"), faultList().value(QStringLiteral("faults")));
    return ok(object);
}

// GET: the log, from entry "since" on (0 when absent), so that a poller can
// fetch only what is new; DELETE: empties it.
HttpAnswer ControlInterface::log(const QString& method, const QString& query)
{
    if (method == QLatin1String("DELETE")) {
        m_store.clearRequestLog();
        return ok({ { QStringLiteral("requestCount"), 0 } });
    }
    if (method != QLatin1String("GET"))
        return wrongMethod(QStringLiteral("GET, DELETE"));
    const QString sinceText = QUrlQuery(query).queryItemValue(QStringLiteral("since"));
    bool numeric = true;
    const int since = sinceText.isEmpty() ? 0 : sinceText.toInt(&numeric);
    if (!numeric || since < 0)
        return failure(400, QStringLiteral("\"since\" must be a whole number, 0 or more"));
    const QList<SimulatedRequest> entries = m_store.requestLog();
    QJsonArray requests;
    for (qsizetype index = since; index < entries.size(); ++index)
        requests.append(requestToJson(entries.at(index)));
    return ok({ { QStringLiteral("requestCount"), int(entries.size()) },
        { QStringLiteral("requests"), requests } });
}

HttpAnswer ControlInterface::catalogue(
    const QString& method, const QStringList& rest, const QByteArray& body)
{
    if (rest == QStringList { QStringLiteral("reset") }) {
        if (method != QLatin1String("POST"))
            return wrongMethod(QStringLiteral("POST"));
        m_store.resetCatalogue();
        return HttpAnswer::json(200, m_store.catalogueJson());
    }
    if (!rest.isEmpty())
        return failure(404, QStringLiteral("no such endpoint"));
    if (method == QLatin1String("GET"))
        return HttpAnswer::json(200, m_store.catalogueJson());
    if (method != QLatin1String("PUT"))
        return wrongMethod(QStringLiteral("GET, PUT"));
    QString error;
    if (!m_store.loadCatalogueJson(body, &error))
        return failure(400, error);
    return HttpAnswer::json(200, m_store.catalogueJson());
}

// GET reads an item; PUT adds or replaces it (a complete item, the ASIN
// taken from the path); PATCH or POST change only the fields given; DELETE
// takes it out of the store.
HttpAnswer ControlInterface::item(
    const QString& method, const QString& locale, const QString& asin, const QByteArray& body)
{
    if (!SimulatedStore::storeLocales().contains(locale))
        return failure(404, QStringLiteral("unknown store \"%1\"").arg(locale));
    const std::optional<SimulatedItem> existing = m_store.item(locale, asin);
    if (method == QLatin1String("DELETE")) {
        if (!m_store.removeItem(locale, asin))
            return failure(404, QStringLiteral("store \"%1\" has no item %2").arg(locale, asin));
        return ok({ { QStringLiteral("removed"), asin } });
    }
    if (method == QLatin1String("GET")) {
        if (!existing)
            return failure(404, QStringLiteral("store \"%1\" has no item %2").arg(locale, asin));
        return ok(CatalogueJson::itemToJson(*existing));
    }
    const bool replace = method == QLatin1String("PUT");
    const bool update = method == QLatin1String("PATCH") || method == QLatin1String("POST");
    if (!replace && !update)
        return wrongMethod(QStringLiteral("GET, PUT, PATCH, POST, DELETE"));
    QJsonObject fields;
    QString error;
    if (!readObject(body, &fields, &error))
        return failure(400, error);
    if (fields.contains(QStringLiteral("asin"))
        && fields.value(QStringLiteral("asin")).toString() != asin)
        return failure(400, QStringLiteral("the ASIN of the body differs from the path"));
    fields.insert(QStringLiteral("asin"), asin);
    SimulatedItem changed;
    if (update) {
        if (!existing)
            return failure(404, QStringLiteral("store \"%1\" has no item %2").arg(locale, asin));
        changed = *existing;
        if (!CatalogueJson::applyFields(fields, &changed, &error))
            return failure(400, error);
    } else if (!CatalogueJson::readItem(fields, locale, &changed, &error)) {
        return failure(400, error);
    }
    m_store.addItem(locale, changed);
    return ok(CatalogueJson::itemToJson(*m_store.item(locale, asin)));
}

HttpAnswer ControlInterface::faults(const QString& method, const QByteArray& body)
{
    if (method == QLatin1String("GET"))
        return ok(faultList());
    if (method == QLatin1String("DELETE")) {
        m_store.clearFaults();
        return ok(faultList());
    }
    if (method != QLatin1String("POST"))
        return wrongMethod(QStringLiteral("GET, POST, DELETE"));
    QJsonObject object;
    QString error;
    if (!readObject(body, &object, &error))
        return failure(400, error);
    SimulatedFault fault;
    if (!SimulatedFault::kindFromName(object.value(QStringLiteral("kind")).toString(), &fault.kind))
        return failure(400,
            QStringLiteral("\"kind\" must be one of delay, no-answer, http500, http503, "
                           "malformed-xml, truncated-body, pieces, error-reply, huge-body"));
    if (!SimulatedFault::targetFromName(
            object.value(QStringLiteral("target")).toString(QStringLiteral("product-api")),
            &fault.target))
        return failure(400, QStringLiteral("\"target\" must be product-api, vendor or image"));
    fault.count = object.value(QStringLiteral("count")).toInt(1);
    fault.delayMs = object.value(QStringLiteral("delayMs")).toInt(0);
    fault.pieces = object.value(QStringLiteral("pieces")).toInt(fault.pieces);
    fault.message = object.value(QStringLiteral("message")).toString(fault.message);
    fault.level = object.value(QStringLiteral("level")).toString(fault.level);
    fault.bytes = qint64(object.value(QStringLiteral("bytes")).toDouble(double(fault.bytes)));
    if (fault.count < 1 || fault.delayMs < 0 || fault.delayMs > 600000 || fault.pieces < 2
        || fault.bytes < 0)
        return failure(400,
            QStringLiteral("\"count\" must be 1 or more, \"delayMs\" 0 to 600000, \"pieces\" 2 "
                           "or more, \"bytes\" 0 or more"));
    m_store.injectFault(fault);
    return ok(faultList());
}

HttpAnswer ControlInterface::tick(const QString& method, const QByteArray& body)
{
    if (method != QLatin1String("POST"))
        return wrongMethod(QStringLiteral("POST"));
    QJsonObject object;
    QString error;
    if (!body.trimmed().isEmpty() && !readObject(body, &object, &error))
        return failure(400, error);
    const int count = object.value(QStringLiteral("count")).toInt(1);
    if (count < 1 || count > 100000)
        return failure(400, QStringLiteral("\"count\" must be 1 to 100000"));
    m_store.advanceTicks(count);
    return ok({ { QStringLiteral("ticks"), m_store.tickCount() } });
}

HttpAnswer ControlInterface::settings(const QString& method, const QByteArray& body)
{
    if (method == QLatin1String("POST")) {
        QJsonObject object;
        QString error;
        if (!readObject(body, &object, &error))
            return failure(400, error);
        const QJsonValue tickSeconds = object.value(QStringLiteral("tickSeconds"));
        if (!tickSeconds.isUndefined() && (!tickSeconds.isDouble() || tickSeconds.toInt(-1) < 0))
            return failure(400, QStringLiteral("\"tickSeconds\" must be 0 or more"));
        const QJsonValue seed = object.value(QStringLiteral("seed"));
        if (!seed.isUndefined()
            && (!seed.isDouble() || seed.toDouble() < 0 || seed.toDouble() > 4294967295.0))
            return failure(
                400, QStringLiteral("\"seed\" must be a whole number from 0 to 4294967295"));
        const QJsonValue check = object.value(QStringLiteral("signatureCheck"));
        if (!check.isUndefined() && !check.isBool())
            return failure(400, QStringLiteral("\"signatureCheck\" must be true or false"));
        if (!tickSeconds.isUndefined())
            m_store.setTickSeconds(tickSeconds.toInt());
        if (!seed.isUndefined())
            m_store.setSeed(quint32(seed.toDouble()));
        if (!check.isUndefined())
            m_store.setSignatureCheckEnabled(check.toBool());
    } else if (method != QLatin1String("GET")) {
        return wrongMethod(QStringLiteral("GET, POST"));
    }
    return ok({ { QStringLiteral("tickSeconds"), m_store.tickSeconds() },
        { QStringLiteral("seed"), double(m_store.seed()) },
        { QStringLiteral("signatureCheck"), m_store.isSignatureCheckEnabled() } });
}

HttpAnswer ControlInterface::release(const QString& method)
{
    if (method != QLatin1String("POST"))
        return wrongMethod(QStringLiteral("POST"));
    m_store.releaseSilentConnections();
    return ok({ { QStringLiteral("released"), true } });
}

// GET: the delivered mails still kept; DELETE: forgets them (the mbox file
// keeps them).
HttpAnswer ControlInterface::mail(const QString& method)
{
    if (method == QLatin1String("DELETE"))
        m_store.clearMails();
    else if (method != QLatin1String("GET"))
        return wrongMethod(QStringLiteral("GET, DELETE"));
    QJsonArray mails;
    for (const SimulatedMail& mail : m_store.mails()) {
        mails.append(QJsonObject { { QStringLiteral("date"), mail.date.toString(Qt::ISODate) },
            { QStringLiteral("from"), mail.from }, { QStringLiteral("to"), mail.to },
            { QStringLiteral("subject"), mail.subject }, { QStringLiteral("body"), mail.body } });
    }
    return ok({ { QStringLiteral("mbox"), m_store.mailboxFile() },
        { QStringLiteral("delivered"), m_store.deliveredMailCount() },
        { QStringLiteral("mails"), mails } });
}

// GET: what the "Version" service answers; PUT or POST: changes the fields
// given, named like the reply's elements.
HttpAnswer ControlInterface::version(const QString& method, const QByteArray& body)
{
    VendorService::VersionInfo info = m_store.versionInfo();
    const std::pair<const char*, QString*> fields[] = {
        { "LatestVersion", &info.latestVersion },
        { "DownloadLink", &info.downloadLink },
        { "DownloadLink_mac", &info.downloadLinkMac },
        { "DownloadLink_linux", &info.downloadLinkLinux },
        { "MoreInfo", &info.moreInfo },
    };
    if (method == QLatin1String("PUT") || method == QLatin1String("POST")) {
        QJsonObject object;
        QString error;
        if (!readObject(body, &object, &error))
            return failure(400, error);
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            const auto field = std::find_if(std::begin(fields), std::end(fields),
                [&it](const auto& known) { return it.key() == QLatin1String(known.first); });
            if (field == std::end(fields) || !it.value().isString())
                return failure(400,
                    QStringLiteral("\"%1\" is not a text field of LatestVersion, DownloadLink, "
                                   "DownloadLink_mac, DownloadLink_linux, MoreInfo")
                        .arg(it.key()));
        }
        for (const auto& field : fields)
            *field.second = object.value(QLatin1String(field.first)).toString(*field.second);
        m_store.setVersionInfo(info);
    } else if (method != QLatin1String("GET")) {
        return wrongMethod(QStringLiteral("GET, PUT, POST"));
    }
    QJsonObject object;
    for (const auto& field : fields)
        object.insert(QLatin1String(field.first), *field.second);
    return ok(object);
}

QJsonObject ControlInterface::faultList() const
{
    QJsonArray list;
    for (const SimulatedFault& fault : m_store.pendingFaults()) {
        list.append(QJsonObject { { QStringLiteral("kind"), SimulatedFault::kindName(fault.kind) },
            { QStringLiteral("target"), SimulatedFault::targetName(fault.target) },
            { QStringLiteral("count"), fault.count }, { QStringLiteral("delayMs"), fault.delayMs },
            { QStringLiteral("pieces"), fault.pieces },
            { QStringLiteral("message"), fault.message }, { QStringLiteral("level"), fault.level },
            { QStringLiteral("bytes"), double(fault.bytes) } });
    }
    return { { QStringLiteral("faults"), list } };
}

HttpAnswer ControlInterface::ok(const QJsonObject& object)
{
    return HttpAnswer::json(200, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

HttpAnswer ControlInterface::failure(int status, const QString& message)
{
    return HttpAnswer::json(status,
        QJsonDocument(QJsonObject { { QStringLiteral("error"), message } })
            .toJson(QJsonDocument::Compact));
}

HttpAnswer ControlInterface::wrongMethod(const QString& allowed)
{
    return failure(405, QStringLiteral("method not allowed here; use %1").arg(allowed));
}

bool ControlInterface::readObject(const QByteArray& body, QJsonObject* object, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (!document.isObject()) {
        *error = document.isNull()
            ? QStringLiteral("the body is not valid JSON: %1").arg(parseError.errorString())
            : QStringLiteral("the body must be a JSON object");
        return false;
    }
    *object = document.object();
    return true;
}
