#include "AutostartEntry.h"

#include "BuildConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QLatin1String EntryFileName("pricewarden.desktop");

} // namespace

AutostartEntry::AutostartEntry(const QString& directory)
    : AutostartEntry(directory, InstalledExecutable())
{
}

AutostartEntry::AutostartEntry(const QString& directory, const QString& installedExecutable)
    : m_directory(directory)
    , m_installedExecutable(installedExecutable)
{
}

QString AutostartEntry::InstalledExecutable()
{
    return QStringLiteral(PRICEWARDEN_INSTALLED_EXECUTABLE);
}

QString AutostartEntry::DefaultDirectory()
{
    // On Linux this is $XDG_CONFIG_HOME or ~/.config; in Qt's test mode it is
    // a private directory, so tests never touch the user's own autostart.
    const QString configDir
        = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (configDir.isEmpty())
        return {};
    return configDir + QStringLiteral("/autostart");
}

QString AutostartEntry::FilePath() const
{
    if (m_directory.isEmpty())
        return {};
    return QDir(m_directory).filePath(EntryFileName);
}

QString AutostartEntry::LaunchPath(const QString& runningExecutable) const
{
    // Linux names a replaced executable "<path> (deleted)"; Qt then has no
    // path for the running program at all.
    QString running = runningExecutable;
    const QLatin1String deleted(" (deleted)");
    if (running.endsWith(deleted))
        running.chop(deleted.size());
    if (!running.isEmpty() && running != m_installedExecutable)
        return running;
    if (running.isEmpty() && !QFileInfo(m_installedExecutable).isExecutable())
        return {};
    return m_installedExecutable;
}

bool AutostartEntry::Enable(const QString& runningExecutable) const
{
    const QString executable = LaunchPath(runningExecutable);
    if (executable.isEmpty() || m_directory.isEmpty() || !QDir().mkpath(m_directory))
        return false;
    QSaveFile file(FilePath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(EntryText(executable).toUtf8());
    return file.commit();
}

bool AutostartEntry::Disable() const
{
    const QString path = FilePath();
    if (path.isEmpty() || !QFile::exists(path))
        return true;
    return QFile::remove(path);
}

bool AutostartEntry::IsEnabled() const
{
    const QString path = FilePath();
    return !path.isEmpty() && QFile::exists(path);
}

QString AutostartEntry::QuotedExecArgument(const QString& executablePath)
{
    // Inside a quoted Exec argument '"', '`', '$' and '\' take a backslash;
    // the key's value is itself a desktop-entry string, where every backslash
    // is written twice and line breaks are escaped, and '%' starts a field code
    // unless doubled.
    QString quoted;
    for (const QChar c : executablePath) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            quoted += QStringLiteral("\\\\") + c;
        else if (c == QLatin1Char('\\'))
            quoted += QStringLiteral("\\\\\\\\");
        else if (c == QLatin1Char('%'))
            quoted += QStringLiteral("%%");
        else if (c == QLatin1Char('\n'))
            quoted += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            quoted += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            quoted += QStringLiteral("\\r");
        else
            quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString AutostartEntry::EntryText(const QString& executablePath)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Pricewarden\n"
                          "Comment=Watches product prices and availability\n"
                          "Exec=%1\n"
                          "Icon=" PRICEWARDEN_DESKTOP_ID "\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(QuotedExecArgument(executablePath));
}
