#include "AlertRule.h"

#include "Global.h"
#include "ItemRecordKeys.h"

namespace AlertRule {

namespace {

double PriceOf(const QVariantMap& record, const QString& key)
{
    return record.value(key).toDouble();
}

bool AtOrBelowLine(const QVariantMap& record, const QString& key)
{
    const double price = PriceOf(record, key);
    return price > 0.0 && record.value(ItemKey::PriceLine).toDouble() >= price;
}

} // namespace

QString MetPrice(const QVariantMap& record)
{
    switch (record.value(ItemKey::WatchCondition).toInt()) {
    case WatchCondition::InStock:
        return PriceOf(record, ItemKey::Price) > 0.0 ? ItemKey::Price : QString();
    case WatchCondition::PriceDrop:
        // Tested in this order, a later hit taking the place of an earlier.
        if (AtOrBelowLine(record, ItemKey::Price))
            return ItemKey::Price;
        if (record.value(ItemKey::ThirdPartyUsed).toBool()
            && AtOrBelowLine(record, ItemKey::LowestUsedPrice))
            return ItemKey::LowestUsedPrice;
        if (record.value(ItemKey::ThirdParty).toBool()
            && AtOrBelowLine(record, ItemKey::LowestNewPrice))
            return ItemKey::LowestNewPrice;
        return {};
    default:
        return {};
    }
}

QString FormattedKey(const QString& priceKey)
{
    return QStringLiteral("Formatted") + priceKey;
}

QVariantMap Alerted(const QVariantMap& record, const QString& priceKey)
{
    QVariantMap alerted = record;
    alerted.insert(ItemKey::FormattedAlertPrice, record.value(FormattedKey(priceKey)).toString());
    return alerted;
}

QString PriceBefore(const QVariantMap& listedBefore, const QVariantMap& storedPoint,
    const QString& priceKey, const QString& locale)
{
    const QString listed = listedBefore.value(FormattedKey(priceKey)).toString();
    if (PriceOf(listedBefore, priceKey) > 0.0 && !listed.isEmpty())
        return listed;
    const QString column = priceKey == ItemKey::LowestNewPrice ? HistoryKey::PriceNew
        : priceKey == ItemKey::LowestUsedPrice                 ? HistoryKey::PriceUsed
                                                               : HistoryKey::Price;
    const double stored = PriceOf(storedPoint, column);
    if (stored <= 0.0)
        return {};
    // The yen has no smaller unit.
    return Global::CurrencyString.value(locale)
        + QString::number(stored, 'f', locale == QLatin1String("jp") ? 0 : 2);
}

} // namespace AlertRule
