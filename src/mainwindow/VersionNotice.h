#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>

// What the start-up version check does with the vendor's answer: whether
// the new-version notice comes up, and which download page its "Download"
// opens.
namespace VersionNotice {

// The notice comes up at most once in this many seconds.
inline constexpr qint64 QuietSeconds = 24 * 3600;

enum class Platform
{
    Linux,
    MacOS,
    Other
};

Platform ThisPlatform();

// A newer release than the running one (compared number by number), and no
// notice in the last day. A notice stamped more than a day in the future
// was stamped by a clock that was wrong then (or is wrong now); it must not
// hold the notice back for as long as the clock was off.
bool ShouldShow(
    const QVariantMap& info, const QString& strRunningVersion, qint64 nLastShown, qint64 nNow);

// The platform's own download page if the answer names one, else the
// general one; only web addresses, so an answer cannot make the desktop
// open a file or start a program. Empty when there is none.
QUrl DownloadLink(const QVariantMap& info, Platform platform);

} // namespace VersionNotice
