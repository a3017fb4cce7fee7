#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>

// The signed REST form of a product API request: the canonical query (names
// in ascending UTF-16 order, values percent-encoded), the text that is signed
// and the final URL with the signature appended. The service recomputes the
// signature from the same canonical text, so every byte here matters.
class SignedQuery
{
public:
    static const QString Path;

    // UTF-8 bytes of the value; only A-Z, a-z, 0-9, "-", ".", "_" and "~"
    // stay as they are, every other byte becomes "%XX" with upper-case hex.
    // A space is "%20", never "+".
    static QString PercentEncode(const QString& value);

    // "name=value&..." with the names sorted by their UTF-16 code units and
    // left unencoded, the values percent-encoded.
    static QString CanonicalQuery(const QVariantMap& parameters);

    // "GET\n<host>\n/onca/xml\n<canonical query>".
    static QString StringToSign(const QString& host, const QString& canonicalQuery);

    // "http://<host>/onca/xml?<canonical query>&Signature=<encoded signature>",
    // signed with Global::GetHMAC under the product API secret key.
    static QUrl SignedUrl(const QString& host, const QVariantMap& parameters);
};
