#include "DesktopNotifier.h"
#include "PrivateSessionBus.h"

#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QTest>

// Alerts raise desktop notifications over D-Bus, whose open action brings
// up the product page; without a server nothing happens and nothing hangs.
class TestDesktopNotifier : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_bus.start(), "dbus-daemon (package dbus-daemon) is needed"); }
    void notifiesAndOpens_data();
    void notifiesAndOpens();
    void missingServerIsSkipped();

private:
    PrivateSessionBus m_bus;
};

namespace {

const QString Page = QStringLiteral("http://www.amazon.de/gp/product/B0PW000001?tag=t");

} // namespace

void TestDesktopNotifier::notifiesAndOpens_data()
{
    QTest::addColumn<QVariantMap>("alert");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("openAction");
    QTest::addColumn<QString>("invoked");
    QTest::addColumn<bool>("opens");
    const QVariantMap drop { { "Title", "Tasse <b>&</b>" }, { "WatchCondition", 2 },
        { "FormattedAlertPrice", "EUR 9,99" }, { "DetailPageURL", Page } };
    QVariantMap stock = drop;
    stock.insert({ { "WatchCondition", 1 }, { "FormattedAlertPrice", "EUR 12,00" } });
    QVariantMap local = drop;
    local.insert("DetailPageURL", "file:///etc/passwd");
    QTest::newRow("price drop, opened")
        << drop << "EUR 14,50"
        << "Price dropped to EUR 9,99 (was EUR 14,50)" << true << "default" << true;
    QTest::newRow("in stock, nothing seen before")
        << stock << ""
        << "In stock at EUR 12,00" << true << "default" << true;
    QTest::newRow("another action") << drop << ""
                                    << "Price dropped to EUR 9,99" << true << "other" << false;
    QTest::newRow("no web page, no action")
        << local << "<x>"
        << "Price dropped to EUR 9,99 (was &lt;x&gt;)" << false << "default" << false;
}

void TestDesktopNotifier::notifiesAndOpens()
{
    QFETCH(QVariantMap, alert);
    QFETCH(QString, previous);
    QFETCH(QString, body);
    QFETCH(bool, openAction);
    QFETCH(QString, invoked);
    QFETCH(bool, opens);
    FakeNotificationServer server;
    QVERIFY(server.serve(m_bus.connection(QStringLiteral("server"))));

    DesktopNotifier notifier(m_bus.connection(QStringLiteral("client")));
    QSignalSpy opened(&notifier, &DesktopNotifier::PageRequested);
    notifier.NotifyAlert(alert, previous);
    QTRY_COMPARE(server.calls.size(), 1);
    QCOMPARE(server.calls.first().summary, alert.value("Title").toString());
    QCOMPARE(server.calls.first().body, body);
    QCOMPARE(server.calls.first().actions.contains("default"), openAction);

    // A click on another program's notification means nothing here.
    QVERIFY(server.invoke(1, QStringLiteral("default")));
    QVERIFY(server.invoke(101, invoked));
    QCOMPARE(opened.wait(opens ? 5000 : 200), opens);
    if (opens)
        QCOMPARE(opened.first().first().toUrl(), QUrl(Page));
    QCOMPARE(opened.count(), opens ? 1 : 0);
    server.stop();
}

void TestDesktopNotifier::missingServerIsSkipped()
{
    // Neither a bus nor a server: nothing is sent, nothing waits.
    DesktopNotifier offline(QDBusConnection(QStringLiteral("not connected")));
    offline.NotifyAlert({ { "Title", "T" }, { "DetailPageURL", Page } }, QString());

    QDBusConnection client = m_bus.connection(QStringLiteral("client"));
    QVERIFY(
        !client.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications")));
    DesktopNotifier notifier(client);
    notifier.NotifyAlert({ { "Title", "lost" }, { "DetailPageURL", Page } }, QString());
    // A server that comes later gets the next alert.
    FakeNotificationServer server;
    QVERIFY(server.serve(m_bus.connection(QStringLiteral("server"))));
    notifier.NotifyAlert({ { "Title", "shown" }, { "DetailPageURL", Page } }, QString());
    QTRY_COMPARE(server.calls.size(), 1);
    QCOMPARE(server.calls.first().summary, QStringLiteral("shown"));
    server.stop();
}

QTEST_GUILESS_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
