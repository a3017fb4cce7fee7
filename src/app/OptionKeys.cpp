#include "OptionKeys.h"

namespace OptionKey {

QList<QPair<QString, QVariant>> Defaults()
{
    return {
        { WatchInterval, 15 },
        { TimeUnit, 0 },
        { PlaySound, true },
        { SoundLoops, 10 },
        { SoundFile, QStringLiteral("alert.wav") },
        { NoPopup, false },
        { MinimizeToTray, true },
        // Not the 15 minutes of WatchInterval: until the user first accepts
        // the preferences, the interval is half an hour.
        { WatchIntervalSeconds, 1800 },
        { AutoStart, false },
        { CloseToMinimize, true },
        { AutoLaunch, false },
        { DesktopNotifications, true },
    };
}

QVariantMap WithDefaults(QVariantMap options)
{
    for (const auto& [key, value] : Defaults()) {
        if (!options.contains(key))
            options.insert(key, value);
    }
    return options;
}

} // namespace OptionKey
