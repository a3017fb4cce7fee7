#include "DesktopNotifier.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

// A notification server on a private bus, as a desktop would run it.
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

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
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
};

// Alerts raise desktop notifications over D-Bus, whose open action brings
// up the product page; without a server nothing happens and nothing hangs.
class TestDesktopNotifier : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void notifiesAndOpens_data();
    void notifiesAndOpens();
    void missingServerIsSkipped();

private:
    void Invoke(uint id, const QString& action);

    QProcess m_daemon;
    QString m_address;
};

namespace {

const QString Page = QStringLiteral("http://www.amazon.de/gp/product/B0PW000001?tag=t");

QDBusConnection Bus(const QString& address, const QString& name)
{
    return QDBusConnection::connectToBus(address, name);
}

} // namespace

void TestDesktopNotifier::initTestCase()
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
        { QStringLiteral("--session"), QStringLiteral("--print-address"),
            QStringLiteral("--nofork") });
    QVERIFY2(m_daemon.waitForStarted(), "dbus-daemon (package dbus-daemon) is needed");
    QTRY_VERIFY(m_daemon.canReadLine());
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    QVERIFY(Bus(m_address, QStringLiteral("server")).isConnected());
}

void TestDesktopNotifier::cleanupTestCase()
{
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

void TestDesktopNotifier::Invoke(uint id, const QString& action)
{
    QDBusMessage signal
        = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
    signal << id << action;
    QVERIFY(Bus(m_address, QStringLiteral("server")).send(signal));
}

void TestDesktopNotifier::notifiesAndOpens_data()
{
    QTest::addColumn<QVariantMap>("alert");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("invoked");
    QTest::addColumn<bool>("opens");
    const QVariantMap drop { { "Title", "Tasse <b>&</b>" }, { "WatchCondition", 2 },
        { "FormattedAlertPrice", "EUR 9,99" }, { "DetailPageURL", Page } };
    QVariantMap stock = drop;
    stock.insert({ { "WatchCondition", 1 }, { "FormattedAlertPrice", "EUR 12,00" } });
    QVariantMap local = drop;
    local.insert("DetailPageURL", "file:///etc/passwd");
    QTest::newRow("price drop, opened") << drop << "EUR 14,50"
                                        << "Price dropped to EUR 9,99 (was EUR 14,50)"
                                        << "default" << true;
    QTest::newRow("in stock, nothing seen before") << stock << ""
                                                   << "In stock at EUR 12,00"
                                                   << "default" << true;
    QTest::newRow("another action") << drop << ""
                                    << "Price dropped to EUR 9,99"
                                    << "other" << false;
    QTest::newRow("no web page, no action") << local << "<x>"
                                            << "Price dropped to EUR 9,99 (was &lt;x&gt;)"
                                            << "default" << false;
}

void TestDesktopNotifier::notifiesAndOpens()
{
    QFETCH(QVariantMap, alert);
    QFETCH(QString, previous);
    QFETCH(QString, body);
    QFETCH(QString, invoked);
    QFETCH(bool, opens);
    QDBusConnection server = Bus(m_address, QStringLiteral("server"));
    FakeNotificationServer fake;
    QVERIFY(server.registerObject(
        QStringLiteral("/org/freedesktop/Notifications"), &fake, QDBusConnection::ExportAllSlots));
    QVERIFY(server.registerService(QStringLiteral("org.freedesktop.Notifications")));

    DesktopNotifier notifier(Bus(m_address, QStringLiteral("client")));
    QSignalSpy opened(&notifier, &DesktopNotifier::PageRequested);
    notifier.NotifyAlert(alert, previous);
    QTRY_COMPARE(fake.calls.size(), 1);
    QCOMPARE(fake.calls.first().summary, alert.value("Title").toString());
    QCOMPARE(fake.calls.first().body, body);
    QCOMPARE(fake.calls.first().actions.value(0), opens || invoked != "default" ? "default" : "");

    // A click on another program's notification means nothing here.
    Invoke(1, QStringLiteral("default"));
    Invoke(101, invoked);
    QCOMPARE(opened.wait(opens ? 5000 : 200), opens);
    if (opens)
        QCOMPARE(opened.first().first().toUrl(), QUrl(Page));
    QCOMPARE(opened.count(), opens ? 1 : 0);

    server.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    server.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
}

void TestDesktopNotifier::missingServerIsSkipped()
{
    // Neither a bus nor a server: nothing is sent, nothing waits.
    DesktopNotifier offline(QDBusConnection(QStringLiteral("not connected")));
    offline.NotifyAlert({ { "Title", "T" }, { "DetailPageURL", Page } }, QString());

    QDBusConnection client = Bus(m_address, QStringLiteral("client"));
    QVERIFY(
        !client.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications")));
    DesktopNotifier notifier(client);
    notifier.NotifyAlert({ { "Title", "lost" }, { "DetailPageURL", Page } }, QString());
    // A server that comes later gets the next alert.
    QDBusConnection server = Bus(m_address, QStringLiteral("server"));
    FakeNotificationServer fake;
    QVERIFY(server.registerObject(
        QStringLiteral("/org/freedesktop/Notifications"), &fake, QDBusConnection::ExportAllSlots));
    QVERIFY(server.registerService(QStringLiteral("org.freedesktop.Notifications")));
    notifier.NotifyAlert({ { "Title", "shown" }, { "DetailPageURL", Page } }, QString());
    QTRY_COMPARE(fake.calls.size(), 1);
    QCOMPARE(fake.calls.first().summary, QStringLiteral("shown"));
}

QTEST_GUILESS_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
