#include "DialogAlert.h"

#include "AlertText.h"
#include "ui_dialogalert.h"

#include <QCloseEvent>
#include <QSoundEffect>
#include <QUrl>

DialogAlert::DialogAlert(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui_DialogAlert)
    , m_sound(new QSoundEffect(this))
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
    // Deleting the old sound stops it, so the new one starts alone and from
    // its beginning.
    delete m_sound;
    m_sound = new QSoundEffect(this);
    m_sound->setSource(QUrl::fromLocalFile(filename));
    // -1 means "until stopped"; QSoundEffect spells that Infinite and
    // refuses other negative counts, which then play once.
    m_sound->setLoopCount(loops == -1 ? int(QSoundEffect::Infinite) : qMax(loops, 1));
    m_sound->play();
}

void DialogAlert::OnSoundOff()
{
    m_sound->stop();
}

void DialogAlert::closeEvent(QCloseEvent* event)
{
    m_sound->stop();
    QDialog::closeEvent(event);
}
