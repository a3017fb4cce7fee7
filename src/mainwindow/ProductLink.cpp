#include "ProductLink.h"

#include "Global.h"

#include <QUrl>
#include <array>

namespace ProductLink {

namespace {

// Tried in this order: an offer-listing address also carries "/dp/" in some
// forms, and the offer listing names the product that was meant.
const std::array<QLatin1String, 4> PathMarkers = {
    QLatin1String("/offer-listing/"),
    QLatin1String("/dp/"),
    QLatin1String("/product/"),
    QLatin1String("/asin/"),
};

QString HostOf(const QString& text)
{
    return QUrl(text.trimmed(), QUrl::TolerantMode).host();
}

bool HostEndsWith(const QString& host, const QString& suffix)
{
    if (suffix.isEmpty())
        return false;
    return host.right(suffix.size()).toLower() == suffix;
}

QString TextAfterMarker(const QString& text, QLatin1String marker)
{
    const int start = text.indexOf(marker, 0, Qt::CaseInsensitive);
    QString rest = text.mid(start + marker.size());
    const int slash = rest.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        rest.truncate(slash);
    const int query = rest.indexOf(QLatin1Char('?'));
    if (query >= 0)
        rest.truncate(query);
    // A fragment (a link to the reviews, say) is never part of the ASIN.
    const int fragment = rest.indexOf(QLatin1Char('#'));
    if (fragment >= 0)
        rest.truncate(fragment);
    return rest;
}

} // namespace

QString DetectLocale(const QString& text)
{
    const QString host = HostOf(text);
    if (host.isEmpty())
        return {};
    for (const QString& locale : std::as_const(Global::AmazonLocale)) {
        if (HostEndsWith(host, Global::CountryDomainSuffix.value(locale)))
            return locale;
    }
    return {};
}

QString ExtractAsin(const QString& text)
{
    const QString working = text.trimmed();
    for (QLatin1String marker : PathMarkers) {
        if (working.contains(marker, Qt::CaseInsensitive))
            return TextAfterMarker(working, marker);
    }
    return working;
}

} // namespace ProductLink
