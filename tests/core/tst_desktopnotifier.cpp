#include "DesktopNotifier.h"
#include "PrivateSessionBus.h"

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

private:
    PrivateSessionBus m_bus;
};

void TestDesktopNotifier::notifiesAndOpens_data()
{
    QTest::addColumn<QVariantMap>("alert");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("invoked");
    const QVariantMap drop { { "Title", "T <b>" }, { "WatchCondition", 2 },
        { "FormattedAlertPrice", "EUR 9,99" }, { "DetailPageURL", "http://www.amazon.de/p" } };
    QVariantMap stock = drop;
    stock.insert("WatchCondition", 1);
    QVariantMap local = drop;
    local.insert("DetailPageURL", "file:///etc/passwd");
    QTest::newRow("price drop, opened")
        << drop << "<x>"
        << "T <b>|Price dropped to EUR 9,99 (was &lt;x&gt;)|default,Open product page"
        << "default";
    QTest::newRow("in stock, another action")
        << stock << ""
        << "T <b>|In stock at EUR 9,99|default,Open product page"
        << "other";
    QTest::newRow("no web page, no action") << local << ""
                                            << "T <b>|Price dropped to EUR 9,99|"
                                            << "default";
}

void TestDesktopNotifier::notifiesAndOpens()
{
    QFETCH(QVariantMap, alert);
    QFETCH(QString, previous);
    QFETCH(QString, shown);
    QFETCH(QString, invoked);
    DesktopNotifier notifier(m_bus.connection(QStringLiteral("client")));
    // Without a server (and without a bus) the alert is dropped at once.
    notifier.NotifyAlert(alert, previous);
    DesktopNotifier(QDBusConnection(QStringLiteral("none"))).NotifyAlert(alert, previous);
    FakeNotificationServer server(m_bus.connection(QStringLiteral("server")));
    QSignalSpy opened(&notifier, &DesktopNotifier::PageRequested);
    notifier.NotifyAlert(alert, previous);
    QTRY_COMPARE(server.shown, QStringList { shown });

    // A click on another program's notification means nothing here.
    QVERIFY(server.invoke(1, QStringLiteral("default")));
    QVERIFY(server.invoke(101, invoked));
    const bool opens = invoked == "default" && shown.endsWith("page");
    QCOMPARE(opened.wait(opens ? 5000 : 200), opens);
    QCOMPARE(opened.value(0).value(0).toUrl(), opens ? QUrl("http://www.amazon.de/p") : QUrl());
}

QTEST_GUILESS_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
