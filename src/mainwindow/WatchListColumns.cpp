#include "WatchListColumns.h"

const QMap<QString, int> COLUMN_ID = {
    { QStringLiteral("Item Name"), 0 },
    { QStringLiteral("Store"), 1 },
    { QStringLiteral("In Stock"), 2 },
    { QStringLiteral("Price"), 3 },
    { QStringLiteral("New"), 4 },
    { QStringLiteral("Used"), 5 },
    { QStringLiteral("What to Watch"), 6 },
    { QStringLiteral("Reaction"), 7 },
};

namespace WatchListColumns {

QString HeaderOf(int column)
{
    return COLUMN_ID.key(column);
}

} // namespace WatchListColumns
