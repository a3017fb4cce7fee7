#include "DialogUpdate.h"

#include "BrowserLinks.h"
#include "ui_dialogupdate.h"

DialogUpdate::DialogUpdate(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui_DialogUpdate)
{
    ui->setupUi(this);
    BrowserLinks::OpenWebLinksOnly(ui->textBrowserInfo);
}

DialogUpdate::~DialogUpdate()
{
    delete ui;
}

void DialogUpdate::SetVersionInfo(const QVariantMap& info)
{
    ui->labelNewVersion->setText(tr("New version %1 is available.")
                                     .arg(info.value(QStringLiteral("LatestVersion")).toString()));
    ui->textBrowserInfo->setHtml(info.value(QStringLiteral("MoreInfo")).toString());
}
