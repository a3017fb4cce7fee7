#include "VersionNotice.h"

#include "HtmlText.h"
#include "VersionNumber.h"

#include <algorithm>

namespace VersionNotice {

Platform ThisPlatform()
{
#if defined(Q_OS_MACOS)
    return Platform::MacOS;
#elif defined(Q_OS_LINUX)
    return Platform::Linux;
#else
    return Platform::Other;
#endif
}

bool ShouldShow(
    const QVariantMap& info, const QString& strRunningVersion, qint64 nLastShown, qint64 nNow)
{
    const QString latest = info.value(QStringLiteral("LatestVersion")).toString();
    if (!VersionNumber::IsNewerVersion(latest, strRunningVersion))
        return false;
    // A damaged setting may hold any number; clamped, the difference cannot
    // overflow.
    const qint64 nCentury = 100 * 366 * QuietSeconds;
    const qint64 nSince = nNow - std::clamp(nLastShown, nNow - nCentury, nNow + nCentury);
    return nSince > QuietSeconds || nSince < -QuietSeconds;
}

QUrl DownloadLink(const QVariantMap& info, Platform platform)
{
    QStringList keys;
    if (platform == Platform::Linux)
        keys << QStringLiteral("DownloadLink_linux");
    else if (platform == Platform::MacOS)
        keys << QStringLiteral("DownloadLink_mac");
    keys << QStringLiteral("DownloadLink");
    for (const QString& key : keys) {
        const QString link = info.value(key).toString().trimmed();
        if (HtmlText::IsWebLink(link))
            return QUrl(link, QUrl::TolerantMode);
    }
    return {};
}

} // namespace VersionNotice
