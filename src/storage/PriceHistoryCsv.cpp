#include "PriceHistoryCsv.h"

#include "DayClock.h"
#include "ItemRecordKeys.h"

#include <QCoreApplication>
#include <QStringList>
#include <cmath>

namespace PriceHistoryCsv {

namespace {

const QLatin1String kLineEnd("\r\n");

QString HeaderField(const QString& name, const QString& currency)
{
    return Field(currency.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, currency));
}

QString PriceField(const QVariant& value, int nDecimals)
{
    const double dPrice = value.toDouble();
    if (!(dPrice > 0) || !std::isfinite(dPrice))
        return {};
    return QString::number(dPrice, 'f', nDecimals);
}

} // namespace

QString Field(const QString& text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    for (const QChar c : text) {
        if (special.contains(c))
            return QLatin1Char('"')
                + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\""))
                + QLatin1Char('"');
    }
    return text;
}

QString CurrencyCode(const QString& locale)
{
    static const QVariantMap codes { { QStringLiteral("us"), QStringLiteral("USD") },
        { QStringLiteral("ca"), QStringLiteral("CAD") },
        { QStringLiteral("uk"), QStringLiteral("GBP") },
        { QStringLiteral("de"), QStringLiteral("EUR") },
        { QStringLiteral("fr"), QStringLiteral("EUR") },
        { QStringLiteral("jp"), QStringLiteral("JPY") } };
    return codes.value(locale).toString();
}

QByteArray Text(const QVariantMap& history, const DayClock& clock)
{
    const QString locale = history.value(HistoryKey::Locale).toString();
    const QString currency = CurrencyCode(locale);
    const int nDecimals = locale == QLatin1String("jp") ? 0 : 2;

    QString text = Field(QCoreApplication::translate("PriceHistoryCsv", "Date")) + QLatin1Char(',')
        + HeaderField(QCoreApplication::translate("PriceHistoryCsv", "Price"), currency)
        + QLatin1Char(',')
        + HeaderField(QCoreApplication::translate("PriceHistoryCsv", "New"), currency)
        + QLatin1Char(',')
        + HeaderField(QCoreApplication::translate("PriceHistoryCsv", "Used"), currency) + kLineEnd;
    for (const QVariant& entry : history.value(HistoryKey::PriceHistory).toList()) {
        const QVariantMap point = entry.toMap();
        text += clock.DateOf(point.value(HistoryKey::Timestamp).toLongLong()).toString(Qt::ISODate)
            + QLatin1Char(',') + PriceField(point.value(HistoryKey::Price), nDecimals)
            + QLatin1Char(',') + PriceField(point.value(HistoryKey::PriceNew), nDecimals)
            + QLatin1Char(',') + PriceField(point.value(HistoryKey::PriceUsed), nDecimals)
            + kLineEnd;
    }
    return text.toUtf8();
}

} // namespace PriceHistoryCsv
