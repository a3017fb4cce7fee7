#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantMap>

// The paragraph the alert window appends for one item that met its watch
// condition. Title and price come from the store's reply, so they are
// escaped, and the title links only to a web address.
namespace AlertText {

// The date and time in the form every alert and log line carries.
QString TimeStamp(const QDateTime& when);

// "In stock" wording for the in-stock condition; any other condition value
// (also 0 or none) reads as a price drop to the item's alert price.
QString Paragraph(const QVariantMap& item, const QDateTime& when);

} // namespace AlertText
