#pragma once

#include <QString>
#include <QVariantMap>

// The product sheet of the detail pane: the HTML template with the item's
// texts in its "$NAME$" places. Titles, availability and prices come from
// the network and are escaped; the product page becomes a link only when it
// is a web address. Each place is filled once, from the template alone, so
// a title that reads "$PRICE$" stays that text.
namespace ProductSheet {

// The image cache file of the item's medium image (the name the download
// manager stores it under); empty when the item has no image on the web.
QString ImageFile(const QVariantMap& item);

// The template filled with the item's values.
QString Html(const QString& strTemplate, const QVariantMap& item);

} // namespace ProductSheet
