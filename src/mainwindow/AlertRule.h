#pragma once

#include <QString>
#include <QVariantMap>

// Whether one watched item has met its watch condition, decided from its
// record alone.
namespace AlertRule {

// The key of the price that met the condition (ItemKey::Price,
// ItemKey::LowestNewPrice or ItemKey::LowestUsedPrice), or an empty string
// when the condition is not met or the item is not watched.
//
// In stock: the item's own offer has a price above 0. Price drop: a price
// above 0 at or below the price line, looking at the lowest new and the
// lowest used price only when the item says so. When several prices are at
// or below the line, the own offer wins over the used price, and that over
// the new price. A price of 0 means no offer and never meets anything.
QString MetPrice(const QVariantMap& record);

// The formatted text of a price key ("FormattedPrice" for "Price").
QString FormattedKey(const QString& priceKey);

// The record as its alert reports it: FormattedAlertPrice is the formatted
// price that met the condition, for an in-stock alert too, so that no alert
// carries the price of an earlier one.
QVariantMap Alerted(const QVariantMap& record, const QString& priceKey);

// The price of the given key seen before the reply that met the condition:
// the formatted price of the record the list held before merging the reply,
// or else the price of the last stored history point (written in the
// store's currency); empty when neither had a price.
QString PriceBefore(const QVariantMap& listedBefore, const QVariantMap& storedPoint,
    const QString& priceKey, const QString& locale);

} // namespace AlertRule
