#include "DialogAbout.h"

#include "BrowserLinks.h"
#include "Global.h"
#include "HtmlText.h"
#include "ServiceManager.h"
#include "VersionNumber.h"
#include "ui_dialogabout.h"

#include <QDebug>
#include <QFile>

DialogAbout::DialogAbout(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui_DialogAbout)
    , m_service(new ServiceManager(this))
{
    ui->setupUi(this);
    QFont dialogFont = font();
    dialogFont.setPointSize(12);
    setFont(dialogFont);
    QFont titleFont = dialogFont;
    titleFont.setPointSize(14);
    titleFont.setBold(true);
    ui->labelAppTitle->setFont(titleFont);

    // Whole phrases: some languages put the name first ("Pricewardenについて").
    setWindowTitle(tr("About %1").arg(QCoreApplication::applicationName()));
    ui->labelVersion->setText(tr("Version %1").arg(Global::VersionString));
    QFile about(QStringLiteral(":/about.html"));
    if (about.open(QIODevice::ReadOnly))
        ui->label_4->setText(QString::fromUtf8(about.readAll()));
    const QString site = Global::DomainName.toHtmlEscaped();
    ui->label_2->setText(tr("News, help and releases: <a href=\"http://%1/\">%1</a>").arg(site));
    ui->labelNewVersion->setText(tr("Checking for new version..."));
    ui->textBrowserReleaseNotes->hide();
    BrowserLinks::OpenWebLinksOnly(ui->textBrowserReleaseNotes);

    connect(m_service, &ServiceManager::Error, this, &DialogAbout::OnError);
    connect(m_service, &ServiceManager::VersionInfoAvailable, this,
        &DialogAbout::OnVersionInfoAvailabel);
}

DialogAbout::~DialogAbout()
{
    delete ui;
}

void DialogAbout::showEvent(QShowEvent* event)
{
    // The last answer stays on show until the new one replaces it.
    m_service->QueryVersion();
    QDialog::showEvent(event);
}

void DialogAbout::OnError(const QString& message)
{
    qDebug() << message;
    ui->labelNewVersion->setText(
        tr("Can not check version information. \nPlease go to website for more info."));
}

void DialogAbout::OnVersionInfoAvailabel(const QVariantMap& info)
{
    const QString latest = info.value(QStringLiteral("LatestVersion")).toString();
    if (!VersionNumber::IsNewerVersion(latest, Global::VersionString)) {
        ui->labelNewVersion->setText(tr("Pricewarden is up to date."));
        return;
    }
    // The reply travels over plain HTTP: the number is shown as text, and
    // only a web address becomes the download link.
    const QString version = latest.trimmed().toHtmlEscaped();
    const QString link = info.value(QStringLiteral("DownloadLink")).toString();
    ui->labelNewVersion->setText(HtmlText::IsWebLink(link)
            ? tr("New version %1 is available. <a href=\"%2\">Download here</a>.")
                  .arg(version, link.toHtmlEscaped())
            : tr("New version %1 is available.").arg(version));
    ui->textBrowserReleaseNotes->show();
    ui->textBrowserReleaseNotes->setHtml(info.value(QStringLiteral("MoreInfo")).toString());
}
