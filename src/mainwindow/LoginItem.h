#pragma once

class QObject;

// Whether the desktop starts the application when the user logs in. On
// macOS this is a login item of System Events, changed through osascript
// (the script runs without feedback); elsewhere it is the freedesktop
// autostart entry.
class LoginItem
{
public:
    // owner: parent of the script process on macOS, which must outlive it.
    static void Set(bool enable, QObject* owner);
};
