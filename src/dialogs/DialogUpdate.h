#pragma once

#include <QDialog>
#include <QVariantMap>

class Ui_DialogUpdate;

// The notice that a newer release is out: its number and release notes, with
// "Download" (accepts) and "Cancel" (rejects). The caller decides what
// accepting does.
class DialogUpdate : public QDialog
{
    Q_OBJECT

public:
    explicit DialogUpdate(QWidget* parent = nullptr);
    ~DialogUpdate() override;

    // The version map the vendor's service sent: "LatestVersion" and the
    // HTML release notes "MoreInfo".
    void SetVersionInfo(const QVariantMap& info);

private:
    Ui_DialogUpdate* ui;
};
