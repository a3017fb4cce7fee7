#pragma once

#include <QDialog>
#include <QString>
#include <QVariantMap>

class SoundPlayer;
class Ui_DialogPreference;

// The modal dialog in which the user edits the options map: the watch
// interval, the alert sound, the e-mail address and the start-up and window
// behaviour. It stores nothing itself; the caller loads it with SetOptions,
// runs it, and on OK takes the edited map back with GetOptions.
class DialogPreference : public QDialog
{
    Q_OBJECT

public:
    explicit DialogPreference(QWidget* parent = nullptr);
    ~DialogPreference() override;

    // A missing key shows as 0, unticked or empty; the spin boxes clamp
    // numbers to their ranges.
    void SetOptions(const QVariantMap& options);
    // Every option the dialog edits, with the interval in seconds derived
    // from the interval and its unit.
    QVariantMap GetOptions() const;

private slots:
    void OnComboTimeUnit(int nSel);
    void OnComboSoundFile(int nSel);
    void OnButtonTest();

private:
    Ui_DialogPreference* ui;
    // The file most recently picked through "Select your own..." here.
    QString m_pickedSoundFile;
    // The sound "Test" plays; a new test replaces it.
    SoundPlayer* m_testSound = nullptr;
};
