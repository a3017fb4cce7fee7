#pragma once

#include <QDialog>
#include <QString>

class Ui_DialogConfirm;

// A yes/cancel question whose "Do not show this message again" box, ticked
// together with Yes, makes every later asking of the same question answer
// yes without showing anything. The choice is kept per question identifier
// under "DialogConfirm/<identifier>" in the application's settings.
class DialogConfirm : public QDialog
{
    Q_OBJECT

public:
    DialogConfirm(QWidget* parent, const QString& key, const QString& text, const QString& title);
    ~DialogConfirm() override;

    static QString SettingsKey(const QString& key);

public slots:
    // Accepted (1) at once when the question was answered for good, else the
    // result of running the dialog modally.
    int exec() override;
    void OnOK();

private:
    Ui_DialogConfirm* ui;
    QString m_key;
};
