#include "DialogAlert.h"

#include "AlertText.h"
#include "SoundPlayer.h"
#include "ui_dialogalert.h"

#include <QCloseEvent>

DialogAlert::DialogAlert(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui_DialogAlert)
    , m_sound(new SoundPlayer(this))
{
    ui->setupUi(this);
}

DialogAlert::~DialogAlert()
{
    delete ui;
}

void DialogAlert::ShowNewAlert(const QVariantMap& item, bool showWindow)
{
    ui->textBrowser->append(AlertText::Paragraph(item, QDateTime::currentDateTime()));
    if (showWindow) {
        setVisible(true);
        activateWindow();
    }
}

void DialogAlert::PlayAlertSound(const QString& filename, int loops)
{
    m_sound->Play(filename, loops);
}

void DialogAlert::OnSoundOff()
{
    m_sound->Stop();
}

void DialogAlert::closeEvent(QCloseEvent* event)
{
    m_sound->Stop();
    QDialog::closeEvent(event);
}
