#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

class DayClock;

// A product's price history as a CSV file that spreadsheets open as they
// are (RFC 4180): UTF-8, CRLF line ends, a header row, then one row per
// recorded day with its local date (yyyy-MM-dd) and the three prices in the
// store's currency, written with a dot and the store's decimals (none for
// yen). A price of 0 (no offer) is an empty field, so it does not pull a
// spreadsheet's averages down.
namespace PriceHistoryCsv {

// The history map of DatabaseManager::GetPriceHistory; its "Locale" chooses
// the currency and the decimals.
QByteArray Text(const QVariantMap& history, const DayClock& clock);

// One field: quoted (quotes doubled) when it holds a comma, a quote, CR or
// LF; as it is otherwise.
QString Field(const QString& text);

// The ISO code of a store's currency ("EUR" for "de"); empty for a store
// we do not know.
QString CurrencyCode(const QString& locale);

} // namespace PriceHistoryCsv
