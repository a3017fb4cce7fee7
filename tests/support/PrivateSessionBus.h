#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

// A D-Bus session bus of the test's own (a dbus-daemon child), so that
// nothing reaches the desktop of whoever runs the tests.
class PrivateSessionBus
{
public:
    ~PrivateSessionBus();
    // Starts the daemon; false when dbus-daemon cannot be run.
    bool start();
    QDBusConnection connection(const QString& name) const
    {
        return QDBusConnection::connectToBus(m_address, name);
    }
    // Makes it the process's session bus; must come before the first use of
    // QDBusConnection::sessionBus().
    void becomeSessionBus() const { qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8()); }

private:
    QProcess m_daemon;
    QString m_address;
};

// A freedesktop notification server that records what it is asked to show
// ("summary|body|actions" per notification, numbered from 101).
class FakeNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList shown;
    bool serve(QDBusConnection connection);
    void stop();
    // Sends ActionInvoked for a notification, as the server.
    bool invoke(uint id, const QString& action);

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
        const QStringList& actions, const QVariantMap&, int);

private:
    QDBusConnection m_connection { QString() };
};
