#pragma once

#include <QDialog>
#include <QString>
#include <QVariantMap>

class QCloseEvent;
class SoundPlayer;
class Ui_DialogAlert;

// The window that tells the user which watched items met their condition,
// and the owner of the alert sound. Every alert of the run stays in the
// window, newest at the bottom, so a user coming back sees all that
// happened. The sound plays until its loops are done, "Sound Off" is
// pressed, the window is closed or the next alert's sound replaces it.
class DialogAlert : public QDialog
{
    Q_OBJECT

public:
    explicit DialogAlert(QWidget* parent = nullptr);
    ~DialogAlert() override;

public slots:
    // Appends the item's alert paragraph; with showWindow the window comes
    // up and is activated as well.
    void ShowNewAlert(const QVariantMap& item, bool showWindow = true);
    // Plays the file (an absolute path) loops times; -1 repeats it until it
    // is stopped.
    void PlayAlertSound(const QString& filename, int loops);
    void OnSoundOff();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Ui_DialogAlert* ui;
    // Never null: the constructor starts with a silent one.
    SoundPlayer* m_sound;
};
