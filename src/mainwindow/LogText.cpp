#include "LogText.h"

#include "HtmlText.h"
#include "ItemRecordKeys.h"

namespace LogText {

QString Line(const QString& stamp, const QString& message, const QString& color)
{
    // One substitution pass: a '%' sequence inside the message is text, not
    // a place holder.
    return QStringLiteral("<p>%1: <span style=\"color:%2;\">%3</span></p>")
        .arg(stamp.toHtmlEscaped(), color.toHtmlEscaped(), message.toHtmlEscaped());
}

QString AlertLine(const QString& stamp, const QVariantMap& item)
{
    if (item.value(ItemKey::WatchCondition).toInt() == WatchCondition::InStock) {
        return QStringLiteral("<p>%1: <b>%2</b>: Item is <b><font "
                              "color=\"#00aa00\">in stock</font></b>!</p>")
            .arg(stamp.toHtmlEscaped(), HtmlText::LinkedTitle(item));
    }
    const QString price = item.value(ItemKey::FormattedAlertPrice).toString();
    return QStringLiteral("<p>%1: <b>%2</b>: Item price has dropped to <font "
                          "color=\"#00aa00\"><b>%3</b></font>!</p>")
        .arg(stamp.toHtmlEscaped(), HtmlText::LinkedTitle(item), price.toHtmlEscaped());
}

} // namespace LogText
