#include "VendorService.h"

#include "Global.h"
#include "SimulatedMailbox.h"

#include <QRegularExpression>
#include <QXmlStreamWriter>

namespace {

QByteArray document(const QList<QPair<QString, QString>>& elements)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("Response"));
    for (const auto& element : elements)
        xml.writeTextElement(element.first, element.second);
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

} // namespace

VendorService::VersionInfo VendorService::defaultVersionInfo()
{
    const QString site = QStringLiteral("http://") + Global::DomainName;
    return { Global::VersionString, site + QStringLiteral("/download/"),
        site + QStringLiteral("/download/mac/"), site + QStringLiteral("/download/linux/"),
        QStringLiteral("Pricewarden %1 is the latest release.").arg(Global::VersionString) };
}

QByteArray VendorService::errorReply(const QString& level, const QString& message)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("Response"));
    xml.writeStartElement(QStringLiteral("Error"));
    xml.writeTextElement(QStringLiteral("Level"), level);
    xml.writeTextElement(QStringLiteral("Message"), message);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

VendorService::Outcome VendorService::answer(
    const Request& request, const Settings& settings, SimulatedMailbox* mailbox)
{
    if (request.path != QLatin1String("/services/") && request.path != QLatin1String("/services")) {
        Outcome outcome;
        outcome.answer = HttpAnswer::text(404, "Not Found\n");
        outcome.rejection = QStringLiteral("unknown path");
        return outcome;
    }
    QString code;
    QString message;
    const bool signatureValid = verify(request, settings, &code, &message);
    if (!signatureValid && settings.checkSignature)
        return refused(code, message, false);

    const QString service = parameter(request, QStringLiteral("Service"));
    Outcome outcome;
    if (service == QLatin1String("Version")) {
        const VersionInfo& version = settings.version;
        outcome.answer = HttpAnswer::xml(200,
            document({ { QStringLiteral("Service"), service },
                { QStringLiteral("LatestVersion"), version.latestVersion },
                { QStringLiteral("DownloadLink"), version.downloadLink },
                { QStringLiteral("DownloadLink_mac"), version.downloadLinkMac },
                { QStringLiteral("DownloadLink_linux"), version.downloadLinkLinux },
                { QStringLiteral("MoreInfo"), version.moreInfo } }));
    } else if (service == QLatin1String("SendEmail")) {
        outcome = sendEmail(request, settings, mailbox);
    } else {
        return refused(QStringLiteral("unknown service"),
            service.isEmpty() ? QStringLiteral("No service specified.")
                              : QStringLiteral("Unknown service \"%1\".").arg(service),
            signatureValid);
    }
    outcome.signatureValid = signatureValid;
    return outcome;
}

// False, with a short code and a message, when the request is not
// correctly signed or not current.
bool VendorService::verify(
    const Request& request, const Settings& settings, QString* code, QString* message)
{
    const QString signature = parameter(request, QStringLiteral("Signature"));
    const QString timestampText = parameter(request, QStringLiteral("Timestamp"));
    const QDateTime timestamp = ProductApiSignature::parseTimestamp(timestampText);
    const QString expected = ProductApiSignature::sign(
        ProductApiSignature::canonicalQuery(request.parameters), settings.signingKey);
    if (signature.isEmpty()) {
        *code = QStringLiteral("missing signature");
        *message = QStringLiteral("The request carries no signature.");
    } else if (!timestamp.isValid()) {
        *code = QStringLiteral("bad timestamp");
        *message
            = QStringLiteral("The timestamp \"%1\" is not ISO 8601 in UTC.").arg(timestampText);
    } else if (!ProductApiSignature::sameText(expected.toLatin1(), signature.toUtf8())) {
        *code = QStringLiteral("bad signature");
        *message = QStringLiteral("The request signature does not match.");
    } else if (qAbs(timestamp.secsTo(settings.now)) > MaximumClockSkewSeconds) {
        *code = QStringLiteral("expired");
        *message = QStringLiteral("The request has expired: timestamp %1.").arg(timestampText);
    } else {
        return true;
    }
    return false;
}

VendorService::Outcome VendorService::sendEmail(
    const Request& request, const Settings& settings, SimulatedMailbox* mailbox)
{
    static const QRegularExpression address(QStringLiteral("^[^@\\s<>]+@[^@\\s<>]+$"));
    SimulatedMail mail;
    mail.to = parameter(request, QStringLiteral("Email"));
    if (!address.match(mail.to).hasMatch())
        return refused(QStringLiteral("bad address"),
            QStringLiteral("\"%1\" is not an e-mail address.").arg(mail.to), false);
    mail.date = settings.now;
    mail.from = QStringLiteral("alerts@") + Global::DomainName;
    mail.subject = parameter(request, QStringLiteral("Subject"));
    mail.body = parameter(request, QStringLiteral("Content"));
    QString error;
    if (mailbox && !mailbox->deliver(mail, &error))
        return refused(QStringLiteral("undeliverable"),
            QStringLiteral("The e-mail could not be delivered: %1").arg(error), false);
    Outcome outcome;
    outcome.answer = HttpAnswer::xml(200,
        document({ { QStringLiteral("Service"), QStringLiteral("SendEmail") },
            { QStringLiteral("Status"), QStringLiteral("Sent") } }));
    return outcome;
}

VendorService::Outcome VendorService::refused(
    const QString& rejection, const QString& message, bool signatureValid)
{
    Outcome outcome;
    outcome.answer = HttpAnswer::xml(200, errorReply(QStringLiteral("Error"), message));
    outcome.rejection = rejection;
    outcome.signatureValid = signatureValid;
    return outcome;
}

QString VendorService::parameter(const Request& request, const QString& name)
{
    for (const auto& pair : request.parameters) {
        if (pair.first == name)
            return pair.second;
    }
    return {};
}
