#include "AlertEmail.h"

#include "ItemRecordKeys.h"

#include <QFile>
#include <QRegularExpression>

namespace AlertEmail {

QString Subject()
{
    return QStringLiteral("The item you are watching is available!");
}

QString ReadTemplate(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString Text(const QString& templateText, const QVariantMap& alert, const QString& email)
{
    const QString price = alert.contains(ItemKey::FormattedAlertPrice)
        ? alert.value(ItemKey::FormattedAlertPrice).toString()
        : alert.value(ItemKey::FormattedPrice).toString();
    const QHash<QString, QString> values {
        { QStringLiteral("$EMAIL$"), email },
        { QStringLiteral("$TITLE$"), alert.value(ItemKey::Title).toString() },
        { QStringLiteral("$LINK$"), alert.value(ItemKey::DetailPageUrl).toString() },
        { QStringLiteral("$PRICE$"), price },
    };
    static const QRegularExpression placeHolder(QStringLiteral("\\$(EMAIL|TITLE|LINK|PRICE)\\$"));
    QString text;
    qsizetype copied = 0;
    for (auto it = placeHolder.globalMatch(templateText); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        text += QStringView(templateText).mid(copied, match.capturedStart() - copied);
        text += values.value(match.captured());
        copied = match.capturedEnd();
    }
    text += QStringView(templateText).mid(copied);
    return text;
}

} // namespace AlertEmail
