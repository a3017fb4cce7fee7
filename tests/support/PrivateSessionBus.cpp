#include "PrivateSessionBus.h"

#include <QDBusMessage>
#include <QTest>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

PrivateSessionBus::~PrivateSessionBus()
{
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
    return true;
}

bool FakeNotificationServer::serve(QDBusConnection connection)
{
    m_connection = connection;
    return m_connection.registerObject(Path, this, QDBusConnection::ExportAllSlots)
        && m_connection.registerService(Service);
}

void FakeNotificationServer::stop()
{
    m_connection.unregisterService(Service);
    m_connection.unregisterObject(Path);
}

bool FakeNotificationServer::invoke(uint id, const QString& action)
{
    QDBusMessage signal
        = QDBusMessage::createSignal(Path, Service, QStringLiteral("ActionInvoked"));
    signal << id << action;
    return m_connection.send(signal);
}

uint FakeNotificationServer::Notify(const QString&, uint, const QString&, const QString& summary,
    const QString& body, const QStringList& actions, const QVariantMap&, int)
{
    shown << summary + "|" + body + "|" + actions.join(",");
    return uint(100 + shown.size());
}
