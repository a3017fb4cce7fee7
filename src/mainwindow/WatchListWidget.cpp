#include "WatchListWidget.h"

#include "TreeWidgetItem.h"
#include "WatchListCells.h"
#include "WatchListRecord.h"
#include "WatchListWidgetItemDelegate.h"

#include <QDesktopServices>
#include <QFile>
#include <QHash>
#include <QHeaderView>
#include <QIcon>
#include <QScopedValueRollback>
#include <QSettings>
#include <iterator>

namespace {

const QString ColumnWidthKey = QStringLiteral("WatchListWidget/ColumnWidth");

// The "Store" column shows only a flag; a width beyond this is a leftover
// of an older layout and is replaced by the flag's width.
constexpr int MaxStoreColumnWidth = 30;
constexpr int StoreColumnWidth = 25;
// Widths of the first start, before the user has sized anything: room for a
// title, a flag and the short cells; the last column stretches.
constexpr int FirstStartWidths[] = { 240, StoreColumnWidth, 110, 80, 80, 80, 130 };

QVariantMap RecordOf(const QTreeWidgetItem* item)
{
    return item->data(0, Qt::UserRole).toMap();
}

bool RowHasIdentity(const QTreeWidgetItem* item, const QString& asin, const QString& locale)
{
    const QVariantMap record = RecordOf(item);
    return WatchListRecord::AsinOf(record) == asin && WatchListRecord::LocaleOf(record) == locale;
}

int Column(const char* header)
{
    return COLUMN_ID.value(QLatin1String(header));
}

using Identity = QPair<QString, QString>;

Identity IdentityOf(const QVariantMap& record)
{
    return { WatchListRecord::AsinOf(record), WatchListRecord::LocaleOf(record) };
}

} // namespace

WatchListWidget::WatchListWidget(QWidget* parent)
    : QTreeWidget(parent)
{
    setItemDelegate(new WatchListWidgetItemDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnCount(COLUMN_ID.size());
    QStringList headers;
    for (int column = 0; column < COLUMN_ID.size(); ++column)
        headers << WatchListColumns::HeaderOf(column);
    setHeaderLabels(headers);
    header()->setSectionsMovable(false);
    // The flag column is narrower than some styles' smallest section.
    header()->setMinimumSectionSize(qMin(header()->minimumSectionSize(), StoreColumnWidth));
    ApplyViewSettings();
    sortItems(Column("Item Name"), Qt::AscendingOrder);
    connect(this, &QTreeWidget::currentItemChanged, this, &WatchListWidget::OnCurrentItemChanged);
}

// The main window's form sets the same; doing it here keeps the list usable
// on its own.
void WatchListWidget::ApplyViewSettings()
{
    setDropIndicatorShown(true);
    setAlternatingRowColors(true);
    setRootIsDecorated(false);
    setUniformRowHeights(false);
    setItemsExpandable(false);
    setAnimated(false);
    setAllColumnsShowFocus(true);
    setExpandsOnDoubleClick(false);
    setSortingEnabled(true);
    header()->setDefaultSectionSize(100);
    header()->setCascadingSectionResizes(false);
    header()->setSortIndicatorShown(true);
    header()->setStretchLastSection(true);
}

void WatchListWidget::UpdateItems(const QVariantList& items)
{
    QVariantList changed;
    // One layout of the whole list after the batch instead of re-measuring
    // a row for every cell that changes.
    scheduleDelayedItemsLayout();
    {
        const QScopedValueRollback<bool> batch(m_bMergingBatch, true);
        QHash<Identity, QTreeWidgetItem*> rows = RowsByIdentity();
        QTreeWidgetItem* lastAdded = nullptr;
        for (const QVariant& item : items) {
            const QVariantMap map = item.toMap();
            if (!WatchListRecord::HasIdentity(map))
                continue;
            const Identity identity = IdentityOf(map);
            QTreeWidgetItem* row = rows.value(identity);
            if (row) {
                if (MergeIntoRow(row, map, false))
                    changed.append(RecordOf(row));
            } else {
                lastAdded = AddRow(map, false);
                rows.insert(identity, lastAdded);
                if (!WatchListRecord::IsReadFromDatabase(map))
                    changed.append(RecordOf(lastAdded));
            }
        }
        // Every added row would select itself in turn; only the last one
        // stays selected, so it is selected once. (Each selection scrolls the
        // view to the row, which lays out the whole list.)
        if (lastAdded)
            MakeOnlySelectedRow(lastAdded);
    }
    // Stored first, so nothing that reacts to the new data can lose it.
    if (!changed.isEmpty())
        emit WatchListChanged(changed);
    emit ItemInfoAvailable(GetCurrentItemData());
    emit ItemsUpdated();
}

// One pass over the rows instead of one per record: a refresh of the whole
// list would otherwise compare every record with every row. The first row of
// an identity wins, as in FindRow.
QHash<QPair<QString, QString>, QTreeWidgetItem*> WatchListWidget::RowsByIdentity() const
{
    QHash<Identity, QTreeWidgetItem*> rows;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = topLevelItem(i);
        const Identity identity = IdentityOf(RecordOf(row));
        if (!rows.contains(identity))
            rows.insert(identity, row);
    }
    return rows;
}

void WatchListWidget::UpdateItem(const QVariantMap& map, bool bSelect)
{
    if (QTreeWidgetItem* row = MergeOrAdd(map, bSelect))
        emit WatchListChanged({ RecordOf(row) });
}

void WatchListWidget::UpdateItem(QTreeWidgetItem* item, const QVariantMap& map, bool bSelect)
{
    if (item && MergeIntoRow(item, map, bSelect))
        emit WatchListChanged({ RecordOf(item) });
}

// The row whose stored part was added or changed; null when nothing that
// the file keeps changed.
QTreeWidgetItem* WatchListWidget::MergeOrAdd(const QVariantMap& map, bool bSelect)
{
    if (!WatchListRecord::HasIdentity(map))
        return nullptr;
    QTreeWidgetItem* row = FindRow(WatchListRecord::AsinOf(map), WatchListRecord::LocaleOf(map));
    if (!row) {
        row = AddRow(map, true);
        return WatchListRecord::IsReadFromDatabase(map) ? nullptr : row;
    }
    return MergeIntoRow(row, map, bSelect) ? row : nullptr;
}

// A new row is always selected and made current; a batch does it once for
// its last new row.
QTreeWidgetItem* WatchListWidget::AddRow(const QVariantMap& map, bool bSelect)
{
    auto* row = new TreeWidgetItem(this);
    MergeIntoRow(row, WatchListRecord::WithNewRowDefaults(map), bSelect);
    return row;
}

bool WatchListWidget::MergeIntoRow(QTreeWidgetItem* item, const QVariantMap& map, bool bSelect)
{
    const QVariantMap before = RecordOf(item);
    QVariantMap record = before;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        record.insert(it.key(), it.value());
    // The record goes in before the cells: with sorting on, every changed
    // cell of the sort column re-sorts the row, and the order reads it.
    item->setData(0, Qt::UserRole, record);
    ShowRecord(item, record, before);
    if (bSelect)
        MakeOnlySelectedRow(item);
    return WatchListRecord::StoredPartDiffers(before, record);
}

void WatchListWidget::ShowRecord(
    QTreeWidgetItem* item, const QVariantMap& record, const QVariantMap& shown)
{
    const auto text
        = [&record](const char* key) { return record.value(QLatin1String(key)).toString(); };
    const int nameColumn = Column("Item Name");
    item->setText(nameColumn, text("Title"));
    item->setToolTip(nameColumn, WatchListCells::PlainTextToolTip(text("Title")));
    const int stockColumn = Column("In Stock");
    item->setText(stockColumn, text("Availability"));
    item->setToolTip(stockColumn, WatchListCells::PlainTextToolTip(text("Availability")));
    item->setText(Column("Price"), text("FormattedPrice"));
    item->setText(Column("New"), text("FormattedLowestNewPrice"));
    item->setText(Column("Used"), text("FormattedLowestUsedPrice"));
    item->setText(Column("What to Watch"), WatchListCells::WatchText(record));
    item->setText(Column("Reaction"), WatchListCells::ReactionText(record));
    ShowIcons(item, record, shown);
}

void WatchListWidget::ShowIcons(
    QTreeWidgetItem* item, const QVariantMap& record, const QVariantMap& shown)
{
    // Icons cannot be compared, so setting an unchanged one would still
    // redraw and re-measure the row; a row shown for the first time gets
    // both.
    const bool bFirstShow = shown.isEmpty();
    const QString watchIcon = WatchListCells::WatchIconPath(record);
    if (bFirstShow || watchIcon != WatchListCells::WatchIconPath(shown))
        item->setIcon(Column("Item Name"), Icon(watchIcon));
    // The merged record's store, not the merged map's: a map without a
    // Locale would otherwise leave the row without its flag.
    const QString locale = WatchListRecord::LocaleOf(record);
    if (bFirstShow || locale != WatchListRecord::LocaleOf(shown))
        item->setIcon(Column("Store"), Icon(WatchListCells::FlagIconPath(locale)));
    item->setToolTip(Column("Store"), WatchListCells::PlainTextToolTip(locale));
}

// Icons come from the compiled-in resources; a missing one leaves the cell
// without an icon. Each file is read once.
QIcon WatchListWidget::Icon(const QString& path)
{
    auto found = m_icons.constFind(path);
    if (found == m_icons.cend())
        found = m_icons.insert(path, QFile::exists(path) ? QIcon(path) : QIcon());
    return *found;
}

void WatchListWidget::MakeOnlySelectedRow(QTreeWidgetItem* item)
{
    clearSelection();
    setCurrentItem(item);
}

QTreeWidgetItem* WatchListWidget::FindRow(const QString& asin, const QString& locale) const
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = topLevelItem(i);
        if (RowHasIdentity(row, asin, locale))
            return row;
    }
    return nullptr;
}

bool WatchListWidget::HasItem(const QString& asin, const QString& locale) const
{
    return FindRow(asin, locale) != nullptr;
}

bool WatchListWidget::SetCurrentItem(const QString& asin, const QString& locale)
{
    QTreeWidgetItem* row = FindRow(asin, locale);
    if (!row)
        return false;
    setCurrentItem(row);
    scrollToItem(row);
    return true;
}

void WatchListWidget::RemoveItem(const QVariantMap& item)
{
    QTreeWidgetItem* row = FindRow(WatchListRecord::AsinOf(item), WatchListRecord::LocaleOf(item));
    if (!row)
        return;
    const QVariantMap record = RecordOf(row);
    // Deleting the current row makes the view choose a new current row
    // (announced through OnCurrentItemChanged) without selecting it.
    delete row;
    // The row that the view made current is also the selected one, so the
    // detail pane and the edit controls act on the same item.
    if (currentItem() && selectedItems().isEmpty())
        currentItem()->setSelected(true);
    emit ItemRemoved(record);
}

QVariantList WatchListWidget::GetItems() const
{
    QVariantList items;
    items.reserve(topLevelItemCount());
    for (int i = 0; i < topLevelItemCount(); ++i)
        items << QVariant(RecordOf(topLevelItem(i)));
    return items;
}

QVariantMap WatchListWidget::GetCurrentItemData() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty())
        return {};
    return RecordOf(selected.first());
}

void WatchListWidget::SetSortingEnabled(bool bEnable)
{
    setSortingEnabled(bEnable);
    header()->setSortIndicatorShown(bEnable);
    if (bEnable)
        sortItems(Column("Item Name"), Qt::AscendingOrder);
}

void WatchListWidget::SaveSettings() const
{
    // The last column stretches, so its width is never stored.
    QVariantList widths;
    for (int column = 0; column <= COLUMN_ID.size() - 2; ++column)
        widths << columnWidth(column);
    QSettings().setValue(ColumnWidthKey, widths);
}

void WatchListWidget::ApplyFirstStartWidths()
{
    for (int column = 0; column < int(std::size(FirstStartWidths)) && column < header()->count();
         ++column)
        header()->resizeSection(column, FirstStartWidths[column]);
}

bool WatchListWidget::HasStoredWidths()
{
    return QSettings().contains(ColumnWidthKey);
}

void WatchListWidget::RestoreSettings()
{
    const QVariant stored = QSettings().value(ColumnWidthKey);
    if (!stored.isValid())
        return;
    const QVariantList widths = stored.toList();
    const int storeColumn = Column("Store");
    for (int column = 0; column < widths.size() && column < header()->count(); ++column) {
        int width = widths.at(column).toInt();
        if (column == storeColumn && width > MaxStoreColumnWidth)
            width = StoreColumnWidth;
        if (width > 0)
            header()->resizeSection(column, width);
    }
}

// The selected row is the item the detail pane shows and the edit controls
// change. Ctrl+click (or Ctrl+Space) would deselect it while the pane still
// shows it, and every edit made then would be dropped; the row stays selected.
QItemSelectionModel::SelectionFlags WatchListWidget::selectionCommand(
    const QModelIndex& index, const QEvent* event) const
{
    const QItemSelectionModel::SelectionFlags command = QTreeWidget::selectionCommand(index, event);
    if (index.isValid() && command.testFlag(QItemSelectionModel::Deselect))
        return QItemSelectionModel::NoUpdate;
    return command;
}

void WatchListWidget::OnCurrentItemChanged(QTreeWidgetItem* current)
{
    if (m_bMergingBatch)
        return;
    emit ItemInfoAvailable(current ? RecordOf(current) : QVariantMap());
}

void WatchListWidget::OnItemDoubleClicked(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QUrl url = WatchListCells::ProductPageUrl(RecordOf(item));
    if (!url.isEmpty())
        QDesktopServices::openUrl(url);
}
