#pragma once

#include <QDialog>
#include <QString>
#include <QVariantMap>

class QShowEvent;
class ServiceManager;
class Ui_DialogAbout;

// The about box: the program's name and version, and, asked afresh each
// time the box is shown, whether a newer release is out, with its download
// link and release notes. It has its own client of the vendor's service, so
// its check never mixes with the main window's.
class DialogAbout : public QDialog
{
    Q_OBJECT

public:
    explicit DialogAbout(QWidget* parent = nullptr);
    ~DialogAbout() override;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void OnError(const QString& message);
    void OnVersionInfoAvailabel(const QVariantMap& info);

private:
    Ui_DialogAbout* ui;
    ServiceManager* m_service;
};
