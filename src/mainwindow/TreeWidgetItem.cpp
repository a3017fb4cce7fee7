#include "TreeWidgetItem.h"

#include "ItemRecordKeys.h"
#include "WatchListColumns.h"
#include "WatchListSortRules.h"

#include <QTreeWidget>

namespace {

QVariantMap RecordOf(const QTreeWidgetItem& item)
{
    return item.data(0, Qt::UserRole).toMap();
}

QString LocaleOf(const QTreeWidgetItem& item)
{
    return RecordOf(item).value(ItemKey::Locale).toString();
}

} // namespace

TreeWidgetItem::TreeWidgetItem(QTreeWidget* view)
    : QTreeWidgetItem(view, QTreeWidgetItem::Type)
{
}

bool TreeWidgetItem::operator<(const QTreeWidgetItem& other) const
{
    const QTreeWidget* view = treeWidget();
    const int column = view ? view->sortColumn() : 0;
    const QString header = WatchListColumns::HeaderOf(column);

    const QString amountKey = WatchListSort::AmountKeyOfColumn(header);
    if (!amountKey.isEmpty())
        return WatchListSort::AmountLessThan(RecordOf(*this), RecordOf(other), amountKey);
    // The store column shows only a flag; its order is the store's code.
    if (header == QLatin1String("Store"))
        return WatchListSort::TextLessThan(LocaleOf(*this), LocaleOf(other));
    return WatchListSort::TextLessThan(text(column), other.text(column));
}
