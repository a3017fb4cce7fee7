#include "BrowserLinks.h"

#include "HtmlText.h"

#include <QDesktopServices>
#include <QTextBrowser>

namespace BrowserLinks {

void OpenWebLinksOnly(QTextBrowser* browser)
{
    browser->setOpenLinks(false);
    QObject::connect(browser, &QTextBrowser::anchorClicked, browser, [](const QUrl& url) {
        if (HtmlText::IsWebLink(url.toString()))
            QDesktopServices::openUrl(url);
    });
}

} // namespace BrowserLinks
