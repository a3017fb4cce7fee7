#include "DialogConfirm.h"

#include "ui_dialogconfirm.h"

#include <QSettings>

DialogConfirm::DialogConfirm(
    QWidget* parent, const QString& key, const QString& text, const QString& title)
    : QDialog(parent)
    , ui(new Ui_DialogConfirm)
    , m_key(key)
{
    ui->setupUi(this);
    ui->labelMessage->setText(text);
    setWindowTitle(title);
}

DialogConfirm::~DialogConfirm()
{
    delete ui;
}

QString DialogConfirm::SettingsKey(const QString& key)
{
    return QStringLiteral("DialogConfirm/%1").arg(key);
}

int DialogConfirm::exec()
{
    if (QSettings().value(SettingsKey(m_key)).toBool())
        return QDialog::Accepted;
    return QDialog::exec();
}

void DialogConfirm::OnOK()
{
    if (ui->checkBoxDoNotShow->isChecked())
        QSettings().setValue(SettingsKey(m_key), true);
    accept();
}
