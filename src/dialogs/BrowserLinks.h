#pragma once

class QTextBrowser;

// Release notes come from the vendor's service over plain HTTP, so their
// links are not trusted: a click opens a web page in the desktop's browser,
// while any other link (a local file, a program's own scheme) does nothing.
// The browser never follows a link itself, which would replace the notes
// with an empty page.
namespace BrowserLinks {

void OpenWebLinksOnly(QTextBrowser* browser);

} // namespace BrowserLinks
