#include "WatchControls.h"

#include "Global.h"
#include "ItemRecordKeys.h"
#include "ui_mainwindow.h"

// Loading must never write the record back, so the controls whose signals
// reach UpdateJobSetting are blocked while they are filled; the radio
// buttons stay live because only their clicks (not toggles) save.
void WatchControls::Load(Ui_MainWindow* ui, const QVariantMap& item)
{
    const QString locale = item.value(ItemKey::Locale).toString();
    const QVariant condition = item.value(ItemKey::WatchCondition);
    const int conditionCode = condition.isValid() ? condition.toInt() : WatchCondition::PriceDrop;
    if (conditionCode == WatchCondition::NotWatched)
        ui->radioButtonDoNotWatch->setChecked(true);
    else if (conditionCode == WatchCondition::InStock)
        ui->radioButtonItemInStock->setChecked(true);
    else
        ui->radioButtonPriceDrop->setChecked(true);

    const QList<QWidget*> editors { ui->doubleSpinBoxPriceLine, ui->checkBoxEmail,
        ui->checkBoxWebPage, ui->checkBoxCreateCart, ui->spinBoxQuantity, ui->checkBoxThirdParty,
        ui->checkBoxThirdPartyUsed };
    for (QWidget* editor : editors)
        editor->blockSignals(true);

    ui->doubleSpinBoxPriceLine->setDecimals(locale == QLatin1String("jp") ? 0 : 2);
    ui->doubleSpinBoxPriceLine->setPrefix(Global::CurrencyString.value(locale));
    ui->doubleSpinBoxPriceLine->setValue(item.value(ItemKey::PriceLine).toDouble());
    ui->checkBoxEmail->setChecked(item.value(ItemKey::ActionEmail).toBool());
    ui->checkBoxWebPage->setChecked(item.value(ItemKey::ActionWebPage).toBool());
    ui->checkBoxCreateCart->setChecked(item.value(ItemKey::ActionCreateCart).toBool());
    ui->spinBoxQuantity->setValue(item.value(ItemKey::Quantity).toInt());
    ui->checkBoxThirdParty->setChecked(item.value(ItemKey::ThirdParty).toBool());
    ui->checkBoxThirdPartyUsed->setChecked(item.value(ItemKey::ThirdPartyUsed).toBool());
    ui->spinBoxQuantity->setEnabled(ui->checkBoxCreateCart->isChecked());

    for (QWidget* editor : editors)
        editor->blockSignals(false);
}

QVariantMap WatchControls::Read(const Ui_MainWindow* ui, QVariantMap record)
{
    int condition = WatchCondition::PriceDrop;
    if (ui->radioButtonDoNotWatch->isChecked())
        condition = WatchCondition::NotWatched;
    else if (ui->radioButtonItemInStock->isChecked())
        condition = WatchCondition::InStock;
    record.insert(ItemKey::WatchCondition, condition);
    record.insert(ItemKey::ThirdParty, ui->checkBoxThirdParty->isChecked());
    record.insert(ItemKey::ThirdPartyUsed, ui->checkBoxThirdPartyUsed->isChecked());
    record.insert(ItemKey::PriceLine, ui->doubleSpinBoxPriceLine->value());
    record.insert(ItemKey::ActionWebPage, ui->checkBoxWebPage->isChecked());
    record.insert(ItemKey::ActionEmail, ui->checkBoxEmail->isChecked());
    record.insert(ItemKey::ActionCreateCart, ui->checkBoxCreateCart->isChecked());
    record.insert(ItemKey::Quantity, ui->spinBoxQuantity->value());
    return record;
}
