#pragma once

#include <QMap>
#include <QString>

// Column index of every watch-list column, keyed by its (untranslated) header
// text. Code addresses a column only through this map, never by a bare
// number, so the column order is defined in exactly one place.
extern const QMap<QString, int> COLUMN_ID;

namespace WatchListColumns {

// The header text of a column index; empty for an index outside the list.
QString HeaderOf(int column);

} // namespace WatchListColumns
