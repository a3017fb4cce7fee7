#include "HtmlText.h"

#include "ItemRecordKeys.h"

#include <QUrl>

namespace HtmlText {

bool IsWebLink(const QString& link)
{
    const QUrl url(link, QUrl::TolerantMode);
    return url.isValid()
        && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

QUrl WebUrl(const QString& encoded)
{
    if (encoded.isEmpty())
        return {};
    const QUrl url = QUrl::fromEncoded(encoded.toUtf8());
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return url;
}

QString LinkedTitle(const QVariantMap& item)
{
    const QString title = item.value(ItemKey::Title).toString().toHtmlEscaped();
    const QString link = item.value(ItemKey::DetailPageUrl).toString();
    if (!IsWebLink(link))
        return title;
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(link.toHtmlEscaped(), title);
}

} // namespace HtmlText
