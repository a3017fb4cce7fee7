#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

// The product API's request signature, rebuilt on the receiving side: the
// decoded parameters (without "Signature") sorted by the bytes of their
// names, each value RFC 3986-encoded, signed as
// "GET\n<host>\n<path>\n<canonical query>" with HMAC-SHA-256 and sent in
// Base64. Built on Qt's own HMAC so that it checks the app's signing code
// instead of sharing it.
class ProductApiSignature
{
public:
    using Parameters = QList<QPair<QString, QString>>;

    enum class Verdict
    {
        Accepted,
        MissingSignature,
        MissingTimestamp,
        InvalidTimestamp,
        UnknownAccessKey,
        BadSignature,
        Expired
    };

    // Requests older or newer than this are refused.
    static constexpr int MaximumClockSkewSeconds = 15 * 60;

    // Splits an encoded query into decoded name/value pairs in their order.
    // "+" reads as a blank, as the service reads it.
    static Parameters decodeQuery(const QByteArray& encodedQuery);
    // UTF-8, then every byte except A-Z a-z 0-9 - . _ ~ as %XX (upper case).
    static QByteArray percentEncode(const QString& text);
    static QByteArray canonicalQuery(const Parameters& parameters);
    static QByteArray stringToSign(const QString& method, const QString& host, const QString& path,
        const Parameters& parameters);
    static QString sign(const QByteArray& stringToSign, const QString& secretKey);
    // The encoded query of a correctly signed request: canonical query,
    // "&Signature=" and the encoded signature.
    static QByteArray signedQuery(const QString& host, const QString& path,
        const Parameters& parameters, const QString& secretKey);

    struct Account
    {
        QString accessKeyId;
        QString secretKey;
    };
    static Verdict verify(const QString& method, const QString& host, const QString& path,
        const Parameters& parameters, const Account& account, const QDateTime& now);

    // ISO 8601 in UTC ("...Z"), to the second or with milliseconds; invalid
    // otherwise.
    static QDateTime parseTimestamp(const QString& text);
    // Compares in a time that does not depend on where the texts differ.
    static bool sameText(const QByteArray& left, const QByteArray& right);

private:
    static QString firstValue(const Parameters& parameters, const QString& name, bool* present);
};
