#pragma once

#include <QTreeWidgetItem>

// A watch-list row with the list's own sort order: price columns grouped by
// currency and then ordered by amount, text columns case-insensitively and
// without a leading English article.
class TreeWidgetItem : public QTreeWidgetItem
{
public:
    explicit TreeWidgetItem(QTreeWidget* view);

    bool operator<(const QTreeWidgetItem& other) const override;
};
