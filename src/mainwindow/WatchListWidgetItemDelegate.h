#pragma once

#include <QItemDelegate>

// Gives every watch-list row the height of the platform's spin box, a little
// tighter, so rows line up with the spin boxes of the detail pane.
class WatchListWidgetItemDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    explicit WatchListWidgetItemDelegate(QObject* parent);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
