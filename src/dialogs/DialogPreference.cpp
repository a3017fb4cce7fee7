#include "DialogPreference.h"

#include "OptionKeys.h"
#include "SoundFile.h"
#include "SoundPlayer.h"
#include "UserPrompt.h"
#include "ui_dialogpreference.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSysInfo>

namespace {

QString SystemName()
{
#if defined(Q_OS_MACOS)
    return QStringLiteral("Mac OS X");
#elif defined(Q_OS_LINUX)
    return QStringLiteral("Linux");
#else
    return QSysInfo::productType();
#endif
}

} // namespace

DialogPreference::DialogPreference(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui_DialogPreference)
    , m_testSound(new SoundPlayer(this))
{
    ui->setupUi(this);
    ui->checkBoxAutoLaunch->setText(tr("Launch program when %1 starts").arg(SystemName()));
}

DialogPreference::~DialogPreference()
{
    delete ui;
}

void DialogPreference::SetOptions(const QVariantMap& options)
{
    ui->spinBoxWatchInterval->setValue(options.value(OptionKey::WatchInterval).toInt());
    ui->comboBoxTimeUnit->setCurrentIndex(options.value(OptionKey::TimeUnit).toInt());
    ui->checkBoxAutoStart->setChecked(options.value(OptionKey::AutoStart).toBool());
    ui->checkBoxPlaySound->setChecked(options.value(OptionKey::PlaySound).toBool());
    ui->spinBoxSoundLoops->setValue(options.value(OptionKey::SoundLoops).toInt());
    ui->comboBoxSoundFile->setEditText(options.value(OptionKey::SoundFile).toString());
    ui->lineEditEmail->setText(options.value(OptionKey::Email).toString());
    ui->checkBoxNoPopup->setChecked(options.value(OptionKey::NoPopup).toBool());
    ui->checkBoxDesktopNotifications->setChecked(
        options.value(OptionKey::DesktopNotifications).toBool());
    ui->checkBoxMinimizeToTray->setChecked(options.value(OptionKey::MinimizeToTray).toBool());
    ui->checkBoxCloseToMinimize->setChecked(options.value(OptionKey::CloseToMinimize).toBool());
    ui->checkBoxAutoLaunch->setChecked(options.value(OptionKey::AutoLaunch).toBool());
}

QVariantMap DialogPreference::GetOptions() const
{
    const int interval = ui->spinBoxWatchInterval->value();
    const int unit = ui->comboBoxTimeUnit->currentIndex();
    return {
        { OptionKey::WatchInterval, interval },
        { OptionKey::TimeUnit, unit },
        { OptionKey::WatchIntervalSeconds, interval * (unit == 0 ? 60 : 3600) },
        { OptionKey::AutoStart, ui->checkBoxAutoStart->isChecked() },
        { OptionKey::PlaySound, ui->checkBoxPlaySound->isChecked() },
        { OptionKey::SoundLoops, ui->spinBoxSoundLoops->value() },
        { OptionKey::SoundFile, ui->comboBoxSoundFile->currentText().trimmed() },
        { OptionKey::Email, ui->lineEditEmail->text().trimmed() },
        { OptionKey::NoPopup, ui->checkBoxNoPopup->isChecked() },
        { OptionKey::DesktopNotifications, ui->checkBoxDesktopNotifications->isChecked() },
        { OptionKey::MinimizeToTray, ui->checkBoxMinimizeToTray->isChecked() },
        { OptionKey::CloseToMinimize, ui->checkBoxCloseToMinimize->isChecked() },
        { OptionKey::AutoLaunch, ui->checkBoxAutoLaunch->isChecked() },
    };
}

void DialogPreference::OnComboTimeUnit(int nSel)
{
    // The interval keeps its range of 1 to 1000 in either unit.
    Q_UNUSED(nSel);
}

void DialogPreference::OnComboSoundFile(int nSel)
{
    if (nSel != ui->comboBoxSoundFile->count() - 1)
        return;
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Select sound file"), QString(), tr("Wave Files (*.wav)"));
    if (!path.isEmpty())
        m_pickedSoundFile = QDir::toNativeSeparators(path);
    // Even when cancelled: the text of the "Select your own..." entry itself
    // must never stay as the sound file.
    ui->comboBoxSoundFile->setEditText(m_pickedSoundFile);
}

void DialogPreference::OnButtonTest()
{
    // Taken as typed, blanks included, unlike the option GetOptions returns.
    const QString path = SoundFile::Resolve(ui->comboBoxSoundFile->currentText());
    if (!QFileInfo(path).isFile()) {
        UserPrompt::Ask(this,
            { QMessageBox::Warning, tr("Play Sound"), tr("Can not find sound file."),
                QMessageBox::Ok });
        return;
    }
    m_testSound->Play(path, 2);
}
