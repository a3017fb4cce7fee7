#pragma once

#include <QString>
#include <QVariantMap>

// The ordering rules of the watch-list columns, kept free of widgets.
namespace WatchListSort {

// The record key holding the amount that a price column shows ("Price",
// "LowestNewPrice" or "LowestUsedPrice"); empty for any other column.
QString AmountKeyOfColumn(const QString& header);

// Price columns: rows are grouped by their store's currency string (plain
// code-unit order); within one currency the numeric amounts are compared, so
// a missing or zero amount comes first.
bool AmountLessThan(const QVariantMap& a, const QVariantMap& b, const QString& amountKey);

// Text columns: without one leading English article, in lower case, compared
// by code unit (not locale-aware).
QString TextKey(const QString& text);
bool TextLessThan(const QString& a, const QString& b);

} // namespace WatchListSort
