#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>

// Texts from the network (titles, prices, links) inside the HTML that the
// log pane, the alert window and the product sheet show. Every such text is
// escaped, and only web addresses become links, so a crafted reply can
// neither inject markup nor make the desktop open a local file or another
// program.
namespace HtmlText {

// Whether the text is an http or https URL.
bool IsWebLink(const QString& link);

// The text taken as an already encoded URL (its UTF-8 bytes), as replies
// carry them; an empty URL unless it is a valid http or https address with
// a host. Only such an address may be handed to the desktop, never a local
// file or a program's scheme.
QUrl WebUrl(const QString& encoded);

// The item's title, escaped, as a link to its product page when that page
// is a web address; the bare escaped title otherwise.
QString LinkedTitle(const QVariantMap& item);

} // namespace HtmlText
