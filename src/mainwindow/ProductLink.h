#pragma once

#include <QString>

// Reading what the user pasted into the add bar: either a bare ASIN or the
// address of a product page in one of the stores.
namespace ProductLink {

// The locale code of the store whose web host the text names, or an empty
// string when the text is no address of a known store (a bare ASIN, say).
QString DetectLocale(const QString& text);

// The ASIN inside a product page address, or the whole trimmed text when it
// holds none of the product path markers. Letter case is kept.
QString ExtractAsin(const QString& text);

} // namespace ProductLink
