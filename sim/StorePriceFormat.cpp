#include "StorePriceFormat.h"

#include <QStringList>

QString StorePriceFormat::currencyCode(const QString& locale)
{
    if (locale == QLatin1String("ca"))
        return QStringLiteral("CAD");
    if (locale == QLatin1String("uk"))
        return QStringLiteral("GBP");
    if (locale == QLatin1String("de") || locale == QLatin1String("fr"))
        return QStringLiteral("EUR");
    if (locale == QLatin1String("jp"))
        return QStringLiteral("JPY");
    return QStringLiteral("USD");
}

bool StorePriceFormat::hasCents(const QString& locale)
{
    return locale != QLatin1String("jp");
}

QString StorePriceFormat::format(const QString& locale, qint64 amount)
{
    const bool negative = amount < 0;
    const qint64 magnitude = negative ? -amount : amount;
    const QString sign = negative ? QStringLiteral("-") : QString();
    if (!hasCents(locale))
        return QStringLiteral("\uFFE5 ") + sign + groupedDigits(magnitude, QLatin1Char(','));

    const qint64 whole = magnitude / 100;
    const QString cents = QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    if (locale == QLatin1String("de") || locale == QLatin1String("fr"))
        return QStringLiteral("EUR ") + sign + groupedDigits(whole, QLatin1Char('.'))
            + QLatin1Char(',') + cents;
    const QString number = sign + groupedDigits(whole, QLatin1Char(',')) + QLatin1Char('.') + cents;
    if (locale == QLatin1String("ca"))
        return QStringLiteral("CDN$ ") + number;
    if (locale == QLatin1String("uk"))
        return QStringLiteral("\u00A3") + number;
    return QStringLiteral("$") + number;
}

QString StorePriceFormat::groupedDigits(qint64 whole, QChar separator)
{
    QString digits = QString::number(whole);
    for (qsizetype position = digits.size() - 3; position > 0; position -= 3)
        digits.insert(position, separator);
    return digits;
}
