#pragma once

#include <QVariantMap>

class Ui_MainWindow;

// The main window's controls that edit the selected item's watch condition
// and reactions.
class WatchControls
{
public:
    // Shows the item's condition, price line and reactions, with the price
    // line in the item's currency.
    static void Load(Ui_MainWindow* ui, const QVariantMap& item);
    // The record with the condition and reactions the controls show.
    static QVariantMap Read(const Ui_MainWindow* ui, QVariantMap record);
};
