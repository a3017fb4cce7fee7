#pragma once

#include <QString>
#include <QVariantMap>

// The HTML lines of the log pane. Every text from the network is escaped and
// only web addresses become links (see HtmlText).
namespace LogText {

// "<stamp>: <message>" with the message, plain text, in the CSS colour.
QString Line(const QString& stamp, const QString& message, const QString& color);

// The line of an item's alert: in stock, or the price that met the line.
QString AlertLine(const QString& stamp, const QVariantMap& item);

} // namespace LogText
