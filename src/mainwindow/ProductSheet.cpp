#include "ProductSheet.h"

#include "DownloadManager.h"
#include "HtmlText.h"
#include "ItemRecordKeys.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QUrl>

namespace ProductSheet {

namespace {

QString Text(const QVariantMap& item, const QString& key)
{
    return item.value(key).toString().toHtmlEscaped();
}

// The store sends the flag as "1" or "0"; "0" is a text too, but it says
// the item does not ship free.
bool HasFreeShipping(const QVariantMap& item)
{
    const QString flag = item.value(ItemKey::IsEligibleForSuperSaverShipping).toString().trimmed();
    return !flag.isEmpty() && flag != QLatin1String("0")
        && flag.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
}

QString Value(const QString& name, const QVariantMap& item)
{
    if (name == QLatin1String("IMAGE")) {
        const QString file = ImageFile(item);
        return file.isEmpty()
            ? QString()
            : QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded).toHtmlEscaped();
    }
    if (name == QLatin1String("ASIN"))
        return Text(item, ItemKey::Asin);
    if (name == QLatin1String("DETAILPAGE")) {
        const QString link = item.value(ItemKey::DetailPageUrl).toString();
        return HtmlText::IsWebLink(link) ? link.toHtmlEscaped() : QString();
    }
    if (name == QLatin1String("TITLE"))
        return Text(item, ItemKey::Title);
    if (name == QLatin1String("AVAILABILITY")) {
        return item.value(ItemKey::InStock).toBool()
            ? Text(item, ItemKey::Availability)
            : QCoreApplication::translate("ProductSheet", "Not available").toHtmlEscaped();
    }
    if (name == QLatin1String("PRICE"))
        return Text(item, ItemKey::FormattedPrice);
    if (name == QLatin1String("THIRDPARTYPRICE"))
        return Text(item, ItemKey::FormattedLowestNewPrice);
    if (name == QLatin1String("USEDPRICE"))
        return Text(item, ItemKey::FormattedLowestUsedPrice);
    if (name == QLatin1String("LISTPRICE"))
        return Text(item, ItemKey::FormattedListPrice);
    if (name == QLatin1String("FREESHIPPING") && HasFreeShipping(item)) {
        return QCoreApplication::translate("ProductSheet",
            "Eligible for <b><font color=\"#00cc00\">FREE Super Saver Shipping</font></b>");
    }
    return {};
}

} // namespace

QString ImageFile(const QVariantMap& item)
{
    // The same address the window has the image fetched from.
    const QUrl url = HtmlText::WebUrl(item.value(ItemKey::MediumImage).toString());
    return url.isEmpty() ? QString() : DownloadManager::GetSaveFileName(url);
}

QString Html(const QString& strTemplate, const QVariantMap& item)
{
    static const QStringList names { QStringLiteral("IMAGE"), QStringLiteral("ASIN"),
        QStringLiteral("DETAILPAGE"), QStringLiteral("TITLE"), QStringLiteral("AVAILABILITY"),
        QStringLiteral("PRICE"), QStringLiteral("THIRDPARTYPRICE"), QStringLiteral("USEDPRICE"),
        QStringLiteral("LISTPRICE"), QStringLiteral("FREESHIPPING") };
    static const QRegularExpression place(QStringLiteral("\\$([A-Z]+)\\$"));
    QString html;
    qsizetype nCopied = 0;
    auto match = place.globalMatch(strTemplate);
    while (match.hasNext()) {
        const QRegularExpressionMatch found = match.next();
        if (!names.contains(found.captured(1)))
            continue;
        html += QStringView(strTemplate).mid(nCopied, found.capturedStart() - nCopied);
        html += Value(found.captured(1), item);
        nCopied = found.capturedEnd();
    }
    html += QStringView(strTemplate).mid(nCopied);
    return html;
}

} // namespace ProductSheet
