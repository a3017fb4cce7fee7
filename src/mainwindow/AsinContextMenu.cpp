#include "AsinContextMenu.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>

QMenu* AsinContextMenu::Create(QLineEdit* field, QAction* pasteAndGo)
{
    QMenu* menu = field->createStandardContextMenu();
    const QList<QAction*> standard = menu->actions();
    if (!standard.isEmpty())
        menu->removeAction(standard.last());

    const QList<QAction*> entries = menu->actions();
    QAction* paste = nullptr;
    // Qt names the paste entry; its text ends with its shortcut only where
    // the platform shows shortcuts in context menus.
    for (QAction* entry : entries) {
        if (entry->objectName() == QLatin1String("edit-paste")) {
            paste = entry;
            break;
        }
    }
    for (int i = 0; !paste && i < entries.size(); ++i) {
        if (entries.at(i)->text().endsWith(QLatin1Char('V')))
            paste = entries.at(i);
    }

    if (entries.isEmpty()) {
        menu->addAction(pasteAndGo);
    } else if (!paste) {
        menu->insertAction(entries.first(), pasteAndGo);
    } else {
        const int after = entries.indexOf(paste) + 1;
        if (after < entries.size())
            menu->insertAction(entries.at(after), pasteAndGo);
        else
            menu->addAction(pasteAndGo);
    }
    pasteAndGo->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    return menu;
}
