#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>

// What the watch-list cells show for a record, kept free of widgets.
namespace WatchListCells {

// "Item in stock", "Price drop to %1" with the store's currency and the price
// line, or "Do not watch".
QString WatchText(const QVariantMap& record);

// "Show alert" followed by the chosen reactions; empty when not watched.
QString ReactionText(const QVariantMap& record);

// ":/watch16.png" for a watched record, ":/blank16.png" otherwise.
QString WatchIconPath(const QVariantMap& record);
QString FlagIconPath(const QString& locale);

// A tool tip that shows text exactly as it stands: tool tips render rich
// text, and texts from the network may hold markup.
QString PlainTextToolTip(const QString& text);

// The product page of a record; an empty URL unless the record holds a
// valid http or https address.
QUrl ProductPageUrl(const QVariantMap& record);

} // namespace WatchListCells
