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
    explicit AutostartEntry(const QString& directory);

    // $XDG_CONFIG_HOME/autostart (~/.config/autostart when unset).
    static QString DefaultDirectory();

    QString FilePath() const;

    // Writes the entry for the given executable, creating the directory when
    // needed. Returns false when the file could not be written.
    bool Enable(const QString& executablePath) const;

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
};
