#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>

class QDBusPendingCallWatcher;

// Tells the desktop about an alert through the freedesktop notification
// service (org.freedesktop.Notifications on the session bus). The call is
// asynchronous: without a bus or a notification service nothing is shown,
// nothing is reported and nothing waits.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    explicit DesktopNotifier(
        const QDBusConnection& bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    // One notification for an alerted record: its title, the price that met
    // the condition (FormattedAlertPrice) and, when known, the price seen
    // before it. Its open action leads to the product page.
    void NotifyAlert(const QVariantMap& alert, const QString& previousPrice);

    // The summary and the body (escaped for servers that read markup).
    static QString Summary(const QVariantMap& alert);
    static QString Body(const QVariantMap& alert, const QString& previousPrice);

signals:
    // The user chose a notification's open action.
    void PageRequested(const QUrl& page);

private slots:
    void OnActionInvoked(uint id, const QString& actionKey);
    void OnNotificationClosed(uint id, uint reason);

private:
    void OnNotifyAnswered(QDBusPendingCallWatcher* watcher, const QUrl& page);

    QDBusConnection m_bus;
    // The product page of each shown notification, by its id.
    QHash<uint, QUrl> m_pages;
};
