#pragma once

#include <QFont>
#include <QItemDelegate>
#include <QPointer>

// Gives every watch-list row the height of the platform's spin box, a little
// tighter, so rows line up with the spin boxes of the detail pane.
class WatchListWidgetItemDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    explicit WatchListWidgetItemDelegate(QObject* parent);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int RowHeight() const;

    // The view asks for the height of every cell it lays out; building a
    // spin box for each answer made a refresh of a long list take seconds.
    // The height is measured again when the style or the spin box font
    // changes.
    mutable QPointer<QStyle> m_measuredStyle;
    mutable QFont m_measuredFont;
    mutable int m_nRowHeight = -1;
};
