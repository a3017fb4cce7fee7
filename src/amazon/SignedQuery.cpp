#include "SignedQuery.h"

#include "Global.h"

#include <QStringList>

const QString SignedQuery::Path = QStringLiteral("/onca/xml");

QString SignedQuery::PercentEncode(const QString& value)
{
    // QUrl::toPercentEncoding keeps exactly the unreserved characters of
    // RFC 3986 and writes upper-case hex digits, which is what the service
    // expects when it rebuilds the canonical query.
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

QString SignedQuery::CanonicalQuery(const QVariantMap& parameters)
{
    // QVariantMap keeps its keys ordered by QString's operator<, which
    // compares UTF-16 code units: the order the signature needs.
    QStringList pairs;
    pairs.reserve(parameters.size());
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
        pairs << it.key() + QLatin1Char('=') + PercentEncode(it.value().toString());
    return pairs.join(QLatin1Char('&'));
}

QString SignedQuery::StringToSign(const QString& host, const QString& canonicalQuery)
{
    return QStringLiteral("GET\n") + host + QLatin1Char('\n') + Path + QLatin1Char('\n')
        + canonicalQuery;
}

QUrl SignedQuery::SignedUrl(const QString& host, const QVariantMap& parameters)
{
    const QString query = CanonicalQuery(parameters);
    const QString signature = Global::GetHMAC(StringToSign(host, query), QString());
    const QString url = QStringLiteral("http://") + host + Path + QLatin1Char('?') + query
        + QStringLiteral("&Signature=") + PercentEncode(signature);
    return QUrl::fromEncoded(url.toUtf8(), QUrl::StrictMode);
}
