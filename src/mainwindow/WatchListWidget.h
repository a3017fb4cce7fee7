#pragma once

#include "WatchListColumns.h"

#include <QHash>
#include <QIcon>
#include <QTreeWidget>
#include <QVariantList>
#include <QVariantMap>

// The list of watched items. Each row keeps its item's whole record (the
// ItemRecord map) in column 0 under Qt::UserRole, so the rows are the
// program's in-memory watch list. Rows are identified by the exact pair
// (ASIN, Locale).
class WatchListWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit WatchListWidget(QWidget* parent = nullptr);

    // Merges map into a known row and redraws its cells; with bSelect the row
    // becomes the only selected and the current row.
    void UpdateItem(QTreeWidgetItem* item, const QVariantMap& map, bool bSelect);
    bool HasItem(const QString& asin, const QString& locale) const;
    // Takes the row of the item's ASIN and Locale out of the list.
    void RemoveItem(const QVariantMap& item);
    // The records of all rows, in the current row order.
    QVariantList GetItems() const;
    // The record of the selected row; an empty map when nothing is selected.
    QVariantMap GetCurrentItemData() const;
    // Column widths under "WatchListWidget/ColumnWidth" in the default
    // settings store.
    void SaveSettings() const;
    void RestoreSettings();
    // Column widths for a user who has never sized the columns.
    void ApplyFirstStartWidths();
    static bool HasStoredWidths();

signals:
    void ItemRemoved(const QVariantMap& item);
    void ItemInfoAvailable(const QVariantMap& item);
    void ItemsUpdated();
    // The stored part of the watch list changed: rows were added (except
    // from records read back from the database, which carry "id"), or rows'
    // watch settings or titles changed. Carries the records of just those
    // rows, so the owner can write them to disk at once. Emitted at most
    // once per call of UpdateItems or UpdateItem, before ItemInfoAvailable
    // and ItemsUpdated. A removal is announced by ItemRemoved only.
    void WatchListChanged(const QVariantList& changedItems);

public slots:
    void UpdateItems(const QVariantList& items);
    // Merges one record into the row of its ASIN and Locale, adding a row
    // (always selected) when there is none.
    void UpdateItem(const QVariantMap& map, bool bSelect = false);
    void SetSortingEnabled(bool bEnable);
    bool SetCurrentItem(const QString& asin, const QString& locale);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;

private slots:
    void OnCurrentItemChanged(QTreeWidgetItem* current);
    void OnItemDoubleClicked(QTreeWidgetItem* item);

private:
    QTreeWidgetItem* FindRow(const QString& asin, const QString& locale) const;
    QHash<QPair<QString, QString>, QTreeWidgetItem*> RowsByIdentity() const;
    QTreeWidgetItem* MergeOrAdd(const QVariantMap& map, bool bSelect);
    QTreeWidgetItem* AddRow(const QVariantMap& map, bool bSelect);
    bool MergeIntoRow(QTreeWidgetItem* item, const QVariantMap& map, bool bSelect);
    void ShowRecord(QTreeWidgetItem* item, const QVariantMap& record, const QVariantMap& shown);
    void ShowIcons(QTreeWidgetItem* item, const QVariantMap& record, const QVariantMap& shown);
    QIcon Icon(const QString& path);
    void MakeOnlySelectedRow(QTreeWidgetItem* item);
    void ApplyViewSettings();

    // True while UpdateItems merges a batch: rows added by it select
    // themselves, but the record of the final selection is announced once
    // at the end instead of once per row.
    bool m_bMergingBatch = false;
    // The watch, blank and flag icons by resource path, shared by all rows.
    QHash<QString, QIcon> m_icons;
};
