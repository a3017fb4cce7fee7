#include "AlertText.h"

#include "HtmlText.h"
#include "ItemRecordKeys.h"

#include <QCoreApplication>

namespace AlertText {

QString TimeStamp(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ap"));
}

QString Paragraph(const QVariantMap& item, const QDateTime& when)
{
    const QString title = QStringLiteral("<b>%1</b>").arg(HtmlText::LinkedTitle(item));
    if (item.value(ItemKey::WatchCondition).toInt() == WatchCondition::InStock) {
        return QCoreApplication::translate("DialogAlert",
            "<p>On %1:<br />%2: Item is <b><font color=\"#00aa00\">in stock</font></b>!</p>")
            .arg(TimeStamp(when), title);
    }
    const QString price = item.value(ItemKey::FormattedAlertPrice).toString().toHtmlEscaped();
    return QCoreApplication::translate("DialogAlert",
        "<p>On %1:<br />%2: Item price has dropped to <font "
        "color=\"#00aa00\"><b>%3</b></font>!</p>")
        .arg(TimeStamp(when), title, price);
}

} // namespace AlertText
