#include "ProductApiSignature.h"

#include <QMessageAuthenticationCode>
#include <algorithm>

ProductApiSignature::Parameters ProductApiSignature::decodeQuery(const QByteArray& encodedQuery)
{
    Parameters parameters;
    for (const QByteArray& pair : encodedQuery.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        QByteArray name = equals < 0 ? pair : pair.left(equals);
        QByteArray value = equals < 0 ? QByteArray() : pair.mid(equals + 1);
        name.replace('+', ' ');
        value.replace('+', ' ');
        parameters.append({ QString::fromUtf8(QByteArray::fromPercentEncoding(name)),
            QString::fromUtf8(QByteArray::fromPercentEncoding(value)) });
    }
    return parameters;
}

QByteArray ProductApiSignature::percentEncode(const QString& text)
{
    return text.toUtf8().toPercentEncoding();
}

QByteArray ProductApiSignature::canonicalQuery(const Parameters& parameters)
{
    Parameters sorted;
    for (const auto& pair : parameters) {
        if (pair.first != QLatin1String("Signature"))
            sorted.append(pair);
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& left, const auto& right) {
        return left.first.toUtf8() < right.first.toUtf8();
    });
    QByteArrayList pairs;
    for (const auto& pair : sorted)
        pairs << percentEncode(pair.first) + '=' + percentEncode(pair.second);
    return pairs.join('&');
}

QByteArray ProductApiSignature::stringToSign(
    const QString& method, const QString& host, const QString& path, const Parameters& parameters)
{
    return method.toUtf8() + '\n' + host.toLower().toUtf8() + '\n' + path.toUtf8() + '\n'
        + canonicalQuery(parameters);
}

QString ProductApiSignature::sign(const QByteArray& stringToSign, const QString& secretKey)
{
    const QByteArray mac = QMessageAuthenticationCode::hash(
        stringToSign, secretKey.toUtf8(), QCryptographicHash::Sha256);
    return QString::fromLatin1(mac.toBase64());
}

QByteArray ProductApiSignature::signedQuery(const QString& host, const QString& path,
    const Parameters& parameters, const QString& secretKey)
{
    const QString signature
        = sign(stringToSign(QStringLiteral("GET"), host, path, parameters), secretKey);
    return canonicalQuery(parameters) + "&Signature=" + percentEncode(signature);
}

ProductApiSignature::Verdict ProductApiSignature::verify(const QString& method, const QString& host,
    const QString& path, const Parameters& parameters, const Account& account, const QDateTime& now)
{
    bool hasSignature = false;
    const QString signature = firstValue(parameters, QStringLiteral("Signature"), &hasSignature);
    if (!hasSignature || signature.isEmpty())
        return Verdict::MissingSignature;
    bool hasTimestamp = false;
    const QString timestampText
        = firstValue(parameters, QStringLiteral("Timestamp"), &hasTimestamp);
    if (!hasTimestamp)
        return Verdict::MissingTimestamp;
    const QDateTime timestamp = parseTimestamp(timestampText);
    if (!timestamp.isValid())
        return Verdict::InvalidTimestamp;
    bool hasKey = false;
    const QString accessKeyId = firstValue(parameters, QStringLiteral("AWSAccessKeyId"), &hasKey);
    if (!hasKey || accessKeyId != account.accessKeyId)
        return Verdict::UnknownAccessKey;
    const QString expected = sign(stringToSign(method, host, path, parameters), account.secretKey);
    if (!sameText(expected.toLatin1(), signature.toUtf8()))
        return Verdict::BadSignature;
    if (qAbs(timestamp.secsTo(now)) > MaximumClockSkewSeconds)
        return Verdict::Expired;
    return Verdict::Accepted;
}

QString ProductApiSignature::firstValue(
    const Parameters& parameters, const QString& name, bool* present)
{
    for (const auto& pair : parameters) {
        if (pair.first == name) {
            *present = true;
            return pair.second;
        }
    }
    *present = false;
    return {};
}

// The service takes ISO 8601 in UTC, to the second or with milliseconds.
QDateTime ProductApiSignature::parseTimestamp(const QString& text)
{
    if (!text.endsWith(QLatin1Char('Z')))
        return {};
    QDateTime timestamp = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!timestamp.isValid())
        timestamp = QDateTime::fromString(text, Qt::ISODate);
    return timestamp.toUTC();
}

// Compares without stopping at the first difference, so that the answer
// time says nothing about how much of a forged signature was right.
bool ProductApiSignature::sameText(const QByteArray& left, const QByteArray& right)
{
    if (left.size() != right.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < left.size(); ++i)
        difference |= static_cast<unsigned char>(left.at(i) ^ right.at(i));
    return difference == 0;
}
