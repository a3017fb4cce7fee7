#pragma once

class QAction;
class QLineEdit;
class QMenu;

// The context menu of the ASIN field.
class AsinContextMenu
{
public:
    // The field's standard menu without its last entry (select all), with
    // "Paste and Go" right after the paste entry, enabled only while the
    // clipboard holds text. The caller owns the menu.
    static QMenu* Create(QLineEdit* field, QAction* pasteAndGo);
};
