#include "WatchListWidgetItemDelegate.h"

#include <QSpinBox>

WatchListWidgetItemDelegate::WatchListWidgetItemDelegate(QObject* parent)
    : QItemDelegate(parent)
{
}

QSize WatchListWidgetItemDelegate::sizeHint(
    const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QItemDelegate::sizeHint(option, index);
    // A fresh spin box follows the current style, so the row height follows
    // a style change too.
    const QSpinBox spinBox;
    size.setHeight(spinBox.minimumSizeHint().height() - 4);
    return size;
}
