#include "PrivateSessionBus.h"

#include <QDBusMessage>
#include <QTest>

namespace {

const QString NotificationService = QStringLiteral("org.freedesktop.Notifications");
const QString NotificationPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

PrivateSessionBus::PrivateSessionBus() = default;

PrivateSessionBus::~PrivateSessionBus()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.terminate();
    m_daemon.waitForFinished(5000);
}

bool PrivateSessionBus::start()
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
        { QStringLiteral("--session"), QStringLiteral("--print-address"),
            QStringLiteral("--nofork") });
    if (!m_daemon.waitForStarted()
        || !QTest::qWaitFor([this] { return m_daemon.canReadLine(); }, 5000))
        return false;
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    return !m_address.isEmpty();
}

QDBusConnection PrivateSessionBus::connection(const QString& name) const
{
    return QDBusConnection::connectToBus(m_address, name);
}

void PrivateSessionBus::becomeSessionBus() const
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
}

bool FakeNotificationServer::serve(QDBusConnection connection)
{
    m_connection = connection;
    return m_connection.registerObject(NotificationPath, this, QDBusConnection::ExportAllSlots)
        && m_connection.registerService(NotificationService);
}

void FakeNotificationServer::stop()
{
    m_connection.unregisterService(NotificationService);
    m_connection.unregisterObject(NotificationPath);
}

bool FakeNotificationServer::invoke(uint id, const QString& action)
{
    QDBusMessage signal = QDBusMessage::createSignal(
        NotificationPath, NotificationService, QStringLiteral("ActionInvoked"));
    signal << id << action;
    return m_connection.send(signal);
}

uint FakeNotificationServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
    const QString& summary, const QString& body, const QStringList& actions,
    const QVariantMap& hints, int timeout)
{
    Q_UNUSED(appName);
    Q_UNUSED(replacesId);
    Q_UNUSED(appIcon);
    Q_UNUSED(hints);
    Q_UNUSED(timeout);
    calls << Call { summary, body, actions };
    return uint(100 + calls.size());
}
