#pragma once

#include <QString>

// The freedesktop autostart entry that starts the application at login on
// desktops that follow the XDG autostart convention. The entry is ours alone
// ("pricewarden.desktop"); switching launch at login off removes just that
// file.
class AutostartEntry
{
public:
    // directory: the autostart directory, normally DefaultDirectory().
    // installedExecutable: where the install put the program, normally
    // InstalledExecutable().
    explicit AutostartEntry(const QString& directory);
    AutostartEntry(const QString& directory, const QString& installedExecutable);

    // $XDG_CONFIG_HOME/autostart (~/.config/autostart when unset).
    static QString DefaultDirectory();

    // The path `cmake --install` and the package give the executable.
    static QString InstalledExecutable();

    QString FilePath() const;

    // What a login should start for a process whose executable is
    // runningExecutable (QCoreApplication::applicationFilePath()): the
    // installed executable when that is the one running, also after a
    // package upgrade replaced the file under the running process (the path
    // then reads empty or ends in " (deleted)"); otherwise the running one,
    // such as a build tree's. Empty when neither is known.
    QString LaunchPath(const QString& runningExecutable) const;

    // Writes the entry that starts LaunchPath(runningExecutable), creating
    // the directory when needed. Returns false, and writes nothing, when
    // there is nothing to start or the file could not be written.
    bool Enable(const QString& runningExecutable) const;

    // Removes the entry if it exists. Returns false only when it exists and
    // could not be removed.
    bool Disable() const;

    bool IsEnabled() const;

    // The desktop entry text that starts the executable.
    static QString EntryText(const QString& executablePath);

    // The executable as one argument of a desktop entry's Exec key: quoted
    // and escaped so that blanks, quotes, dollar signs, back quotes,
    // backslashes and percent signs in the path survive.
    static QString QuotedExecArgument(const QString& executablePath);

private:
    QString m_directory;
    QString m_installedExecutable;
};
