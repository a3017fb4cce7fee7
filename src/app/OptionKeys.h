#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// The user's preferences (the options map the main window holds, the
// preferences dialog edits and the settings store keeps under
// "MainWindow/Options"): every key, and the default each one gets at start
// when the stored map lacks it. The texts are stored in the user's settings,
// so they never change.
namespace OptionKey {

inline const QString WatchInterval = QStringLiteral("WatchInterval");
inline const QString TimeUnit = QStringLiteral("TimeUnit");
inline const QString WatchIntervalSeconds = QStringLiteral("WatchIntervalSeconds");
inline const QString PlaySound = QStringLiteral("PlaySound");
inline const QString SoundLoops = QStringLiteral("SoundLoops");
inline const QString SoundFile = QStringLiteral("SoundFile");
inline const QString Email = QStringLiteral("Email");
inline const QString NoPopup = QStringLiteral("NoPopup");
inline const QString MinimizeToTray = QStringLiteral("MinimizeToTray");
inline const QString CloseToMinimize = QStringLiteral("CloseToMinimize");
inline const QString AutoLaunch = QStringLiteral("AutoLaunch");
inline const QString AutoStart = QStringLiteral("AutoStart");
// Whether each alert also raises a desktop notification.
inline const QString DesktopNotifications = QStringLiteral("DesktopNotifications");

// The defaults, in the order they are applied. Email has none: it stays
// absent until the user enters an address.
QList<QPair<QString, QVariant>> Defaults();

// The map with the default of every key it lacks added; present keys keep
// their values, whatever their type.
QVariantMap WithDefaults(QVariantMap options);

} // namespace OptionKey
