#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QTest>

// A D-Bus session bus of the test's own (a dbus-daemon child), so that
// nothing reaches the desktop of whoever runs the tests.
class PrivateSessionBus
{
public:
    ~PrivateSessionBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    // False when dbus-daemon cannot be run.
    bool start()
    {
        m_daemon.start("dbus-daemon", { "--session", "--print-address", "--nofork" });
        if (!m_daemon.waitForStarted()
            || !QTest::qWaitFor([this] { return m_daemon.canReadLine(); }, 5000))
            return false;
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        return true;
    }
    QDBusConnection connection(const QString& name) const
    {
        return QDBusConnection::connectToBus(m_address, name);
    }
    QString address() const { return m_address; }
    // Must come before the first use of QDBusConnection::sessionBus().
    void becomeSessionBus() const { qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8()); }

private:
    QProcess m_daemon;
    QString m_address;
};

// A freedesktop notification server that records what it is asked to show
// ("summary|body|actions"; the ids count from 101).
class FakeNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList shown;
    explicit FakeNotificationServer(QDBusConnection connection)
        : m_connection(connection)
    {
        m_connection.registerObject(
            "/org/freedesktop/Notifications", this, QDBusConnection::ExportAllSlots);
        m_connection.registerService("org.freedesktop.Notifications");
    }
    ~FakeNotificationServer() override
    {
        m_connection.unregisterService("org.freedesktop.Notifications");
        m_connection.unregisterObject("/org/freedesktop/Notifications");
    }
    // Sends ActionInvoked for a notification, as the server.
    bool invoke(uint id, const QString& action)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
        return m_connection.send(signal << id << action);
    }

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
        const QStringList& actions, const QVariantMap&, int)
    {
        shown << summary + "|" + body + "|" + actions.join(",");
        return uint(100 + shown.size());
    }

private:
    QDBusConnection m_connection;
};
