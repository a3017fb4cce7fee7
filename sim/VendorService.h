#pragma once

#include "HttpAnswer.h"
#include "ProductApiSignature.h"

#include <QDateTime>
#include <QString>

class SimulatedMailbox;

// The vendor's own web service on Global::DomainName, path /services/:
// "Version" answers the latest release, "SendEmail" delivers an alert
// e-mail to the mailbox. Requests are signed like the app signs them: the
// decoded parameters without "Signature", sorted by name, values
// RFC 3986-encoded, joined with "&", HMAC-SHA-256 under the signing key in
// Base64. Every refusal is the service's error document (root, "Error",
// "Level" and "Message"), sent with status 200 as the client reads it.
class VendorService
{
public:
    // What "Version" answers; the element names of the reply.
    struct VersionInfo
    {
        QString latestVersion;
        QString downloadLink; // the download page
        QString downloadLinkMac;
        QString downloadLinkLinux;
        QString moreInfo; // release notes
    };

    struct Request
    {
        QString method;
        QString path;
        // Decoded, from the query and (POST, PUT) the form-encoded body.
        ProductApiSignature::Parameters parameters;
    };

    struct Settings
    {
        QString signingKey;
        bool checkSignature = true;
        QDateTime now;
        VersionInfo version;
    };

    struct Outcome
    {
        HttpAnswer answer;
        bool signatureValid = false;
        QString rejection; // why the request was refused, empty when it was served
    };

    static constexpr int MaximumClockSkewSeconds = ProductApiSignature::MaximumClockSkewSeconds;

    // The defaults: the app's own version, download pages on the vendor's
    // domain.
    static VersionInfo defaultVersionInfo();
    // A null mailbox answers as if the mail had been delivered, and
    // delivers nothing.
    static Outcome answer(
        const Request& request, const Settings& settings, SimulatedMailbox* mailbox);
    // The error document.
    static QByteArray errorReply(const QString& level, const QString& message);

private:
    static bool verify(
        const Request& request, const Settings& settings, QString* code, QString* message);
    static Outcome sendEmail(
        const Request& request, const Settings& settings, SimulatedMailbox* mailbox);
    static Outcome refused(const QString& rejection, const QString& message, bool signatureValid);
    static QString parameter(const Request& request, const QString& name);
};
