#include "WatchListWidgetItemDelegate.h"

#include <QApplication>
#include <QSpinBox>

WatchListWidgetItemDelegate::WatchListWidgetItemDelegate(QObject* parent)
    : QItemDelegate(parent)
{
}

QSize WatchListWidgetItemDelegate::sizeHint(
    const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QItemDelegate::sizeHint(option, index);
    size.setHeight(RowHeight());
    return size;
}

int WatchListWidgetItemDelegate::RowHeight() const
{
    QStyle* style = QApplication::style();
    const QFont font = QApplication::font("QSpinBox");
    if (m_nRowHeight < 0 || m_measuredStyle != style || m_measuredFont != font) {
        const QSpinBox spinBox;
        m_nRowHeight = spinBox.minimumSizeHint().height() - 4;
        m_measuredStyle = style;
        m_measuredFont = font;
    }
    return m_nRowHeight;
}
