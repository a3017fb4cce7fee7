#include "DesktopNotifier.h"

#include "ItemRecordKeys.h"
#include "WatchListCells.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString OpenAction = QStringLiteral("default");

} // namespace

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
        SLOT(OnActionInvoked(uint, QString)));
    m_bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
        SLOT(OnNotificationClosed(uint, uint)));
}

QString DesktopNotifier::Summary(const QVariantMap& alert)
{
    return alert.value(ItemKey::Title).toString();
}

QString DesktopNotifier::Body(const QVariantMap& alert, const QString& previousPrice)
{
    const QString price = alert.value(ItemKey::FormattedAlertPrice).toString().toHtmlEscaped();
    QString body = alert.value(ItemKey::WatchCondition).toInt() == WatchCondition::InStock
        ? tr("In stock at %1").arg(price)
        : tr("Price dropped to %1").arg(price);
    if (!previousPrice.isEmpty())
        body += QLatin1Char(' ') + tr("(was %1)").arg(previousPrice.toHtmlEscaped());
    return body;
}

void DesktopNotifier::NotifyAlert(const QVariantMap& alert, const QString& previousPrice)
{
    if (!m_bus.isConnected())
        return;
    const QUrl page = WatchListCells::ProductPageUrl(alert);
    QStringList actions;
    if (!page.isEmpty())
        actions << OpenAction << tr("Open product page");
    QDBusMessage call
        = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    call << QCoreApplication::applicationName() << uint(0) << QStringLiteral("pricewarden")
         << Summary(alert) << Body(alert, previousPrice) << actions
         << QVariantMap { { QStringLiteral("desktop-entry"), QStringLiteral("pricewarden") } }
         << int(-1);
    // Never auto-started: a desktop without the service simply shows nothing.
    call.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, page](QDBusPendingCallWatcher* finished) { OnNotifyAnswered(finished, page); });
}

void DesktopNotifier::OnNotifyAnswered(QDBusPendingCallWatcher* watcher, const QUrl& page)
{
    watcher->deleteLater();
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError() || page.isEmpty())
        return;
    m_pages.insert(reply.value(), page);
}

void DesktopNotifier::OnActionInvoked(uint id, const QString& actionKey)
{
    if (actionKey != OpenAction)
        return;
    const QUrl page = m_pages.value(id);
    if (!page.isEmpty())
        emit PageRequested(page);
}

void DesktopNotifier::OnNotificationClosed(uint id, uint reason)
{
    Q_UNUSED(reason);
    m_pages.remove(id);
}
