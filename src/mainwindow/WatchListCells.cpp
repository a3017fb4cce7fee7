#include "WatchListCells.h"

#include "Global.h"
#include "HtmlText.h"
#include "ItemRecordKeys.h"

#include <QCoreApplication>

namespace WatchListCells {

namespace {

// The phrases belong to the list's translation context.
QString Phrase(const char* text)
{
    return QCoreApplication::translate("WatchListWidget", text);
}

int WatchConditionOf(const QVariantMap& record)
{
    return record.value(ItemKey::WatchCondition).toInt();
}

bool IsSet(const QVariantMap& record, const QString& key)
{
    return record.value(key).toBool();
}

} // namespace

QString WatchText(const QVariantMap& record)
{
    switch (WatchConditionOf(record)) {
    case WatchCondition::InStock:
        return Phrase("Item in stock");
    case WatchCondition::PriceDrop: {
        const QString currency
            = Global::CurrencyString.value(record.value(ItemKey::Locale).toString());
        const double priceLine = record.value(ItemKey::PriceLine).toDouble();
        return Phrase("Price drop to ") + currency + QString::number(priceLine, 'f', 2);
    }
    default:
        return Phrase("Do not watch");
    }
}

QString ReactionText(const QVariantMap& record)
{
    if (WatchConditionOf(record) == WatchCondition::NotWatched)
        return {};
    // The alert window is shown for every alert, whatever ActionAlert says.
    QStringList reactions { Phrase("Show alert") };
    if (IsSet(record, ItemKey::ActionEmail))
        reactions << Phrase("Email me");
    if (IsSet(record, ItemKey::ActionWebPage))
        reactions << Phrase("Bring up webpage");
    if (IsSet(record, ItemKey::ActionCreateCart))
        reactions << Phrase("Take me to check out");
    return reactions.join(QStringLiteral(", "));
}

QString WatchIconPath(const QVariantMap& record)
{
    return WatchConditionOf(record) == 0 ? QStringLiteral(":/blank16.png")
                                         : QStringLiteral(":/watch16.png");
}

QString FlagIconPath(const QString& locale)
{
    return QStringLiteral(":/flag_%1.png").arg(locale);
}

QString PlainTextToolTip(const QString& text)
{
    if (text.isEmpty())
        return {};
    return QStringLiteral("<qt>") + text.toHtmlEscaped() + QStringLiteral("</qt>");
}

QUrl ProductPageUrl(const QVariantMap& record)
{
    // Records come from replies and from the database file.
    return HtmlText::WebUrl(record.value(ItemKey::DetailPageUrl).toString());
}

} // namespace WatchListCells
