#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

// A D-Bus session bus of the test's own (a dbus-daemon child process), so
// that nothing reaches the desktop of whoever runs the tests.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Starts the daemon; false when dbus-daemon cannot be run.
    bool start();
    QString address() const { return m_address; }
    // A connection of the given name to this bus.
    QDBusConnection connection(const QString& name) const;
    // Makes this bus the process's session bus; must come before the first
    // use of QDBusConnection::sessionBus().
    void becomeSessionBus() const;

private:
    QProcess m_daemon;
    QString m_address;
};

// A freedesktop notification server that records what it is asked to show.
class FakeNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call
    {
        QString summary;
        QString body;
        QStringList actions;
    };
    QList<Call> calls;

    // Serves on the connection; false when the name or path is taken.
    bool serve(QDBusConnection connection);
    void stop();
    // Sends ActionInvoked for a notification id as the server.
    bool invoke(uint id, const QString& action);

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
        const QString& summary, const QString& body, const QStringList& actions,
        const QVariantMap& hints, int timeout);

private:
    QDBusConnection m_connection { QString() };
};
