#include "DatabaseManager.h"
#include "ItemRecordKeys.h"
#include "OptionKeys.h"
#include "PrivateSessionBus.h"
#include "ProcessWait.h"
#include "WatchCycle.h"

#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

// The real programs as a user runs them: pricewarden-sim as the store, the
// demo's seeding tool for the profile, pricewarden watching from its start.
// Prices change through the store's control interface; what the user would
// see is read from the app's transcript, the desktop notifications (on a
// bus of the test's own), the store's mailbox and log, and the profile's
// files once the app has ended.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void dropRestockAndFaults();

private:
    QProcessEnvironment Profile() const;
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QString DatabaseFile() const { return Path("data/Pricewarden/Pricewarden/userdata.dat"); }
    void SeedProfile();
    QJsonObject Control(const QByteArray& verb, const QString& path, const QJsonObject& body = {});
    // The control log's requests of this operation or response group.
    int Requests(const QString& kind);
    // The transcript's lines of one kind, without the kind; log lines
    // without their time stamp.
    QStringList Transcript(const QString& kind) const;

    QTemporaryDir m_dir;
    PrivateSessionBus m_bus;
    std::unique_ptr<FakeNotificationServer> m_notifications;
    QNetworkAccessManager m_control;
    QProcess m_store;
    QProcess m_app;
    QString m_proxy;
};

namespace {

struct Step
{
    const char* what;
    const char* locale;
    const char* asin;
    QJsonObject patch;
    const char* alert; // the alert paragraph's end
    const char* notification;
    int historyRows;
    double lastPoint; // the price of the newest history row
};

const Step Steps[] = {
    { "price drop", "us", "B0PW000010", { { "price", 1000 } },
        "Garden Hose Reel, Green: Item price has dropped to $10.00!",
        "Garden Hose Reel, Green|Price dropped to $10.00", 2, 10.0 },
    { "restock", "uk", "B0PW000003", { { "stock", 5 } },
        "Cast Iron Dutch Oven 5 qt: Item is in stock!",
        // A day that began out of stock keeps 0 as its price.
        "Cast Iron Dutch Oven 5 qt|In stock at \u00a347.99", 1, 0.0 },
};

const QString Email = QStringLiteral("e2e@example.org");

QString Bin(const char* name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

} // namespace

void TestEndToEnd::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(m_bus.start(), "dbus-daemon (package dbus-daemon) is needed");
    m_notifications = std::make_unique<FakeNotificationServer>(m_bus.connection("notifications"));
    m_control.setProxy(QNetworkProxy::NoProxy);
    for (const char* dir : { "home", "config", "data", "cache", "tmp", "run" })
        QVERIFY(QDir().mkpath(Path(dir)));
    QFile::setPermissions(Path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestEndToEnd::cleanup()
{
    for (QProcess* process : { &m_app, &m_store }) {
        process->kill();
        WaitForExit(*process, 5000);
    }
}

QProcessEnvironment TestEndToEnd::Profile() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QList<std::pair<const char*, QString>> variables { { "HOME", Path("home") },
        { "XDG_CONFIG_HOME", Path("config") }, { "XDG_DATA_HOME", Path("data") },
        { "XDG_CACHE_HOME", Path("cache") }, { "XDG_RUNTIME_DIR", Path("run") },
        { "TMPDIR", Path("tmp") }, { "QT_QPA_PLATFORM", "offscreen" },
        { "PRICEWARDEN_CONFIG", "" } };
    for (const auto& [name, value] : variables)
        environment.insert(QString::fromLatin1(name), value);
    return environment;
}

QJsonObject TestEndToEnd::Control(
    const QByteArray& verb, const QString& path, const QJsonObject& body)
{
    QNetworkRequest request(QUrl(m_proxy + QStringLiteral("/control/") + path));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    std::unique_ptr<QNetworkReply> reply(m_control.sendCustomRequest(
        request, verb, body.isEmpty() ? QByteArray() : QJsonDocument(body).toJson()));
    QEventLoop loop;
    connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    return QJsonDocument::fromJson(reply->readAll()).object();
}

int TestEndToEnd::Requests(const QString& kind)
{
    int count = 0;
    for (const QJsonValue& request : Control("GET", "log").value("requests").toArray()) {
        const QJsonObject entry = request.toObject();
        bool matches = entry.value("operation").toString() == kind;
        for (const QJsonValue& pair : entry.value("parameters").toArray())
            matches |= pair[0] == "ResponseGroup" && pair[1] == kind;
        count += matches;
    }
    return count;
}

QStringList TestEndToEnd::Transcript(const QString& kind) const
{
    QFile file(Path("transcript.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    static const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d [ap]m: "));
    QStringList lines;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith(kind + ": "))
            lines << line.mid(kind.size() + 2).remove(stamp);
    }
    return lines;
}

// The demo's profile (a year of prices, five price watches that stay
// quiet), then reactions for the dropping item and an in-stock watch.
void TestEndToEnd::SeedProfile()
{
    QProcess seed;
    seed.setProcessEnvironment(Profile());
    seed.start(Bin("pricewarden-demo-seed"));
    QVERIFY(seed.waitForFinished(30000));
    QCOMPARE(seed.exitCode(), 0);
    {
        DatabaseManager database(DatabaseFile());
        QVariantList items = database.GetItems(QString());
        QCOMPARE(items.size(), 6);
        const QVariantMap reactions { { ItemKey::ActionEmail, true },
            { ItemKey::ActionWebPage, true }, { ItemKey::ActionCreateCart, true },
            { ItemKey::Quantity, 2 } };
        for (QVariant& item : items) {
            QVariantMap record = item.toMap();
            if (record.value(ItemKey::Asin) == Steps[0].asin)
                record.insert(reactions);
            item = record;
        }
        QVariantMap restock = reactions;
        restock.insert({ { ItemKey::Asin, Steps[1].asin }, { ItemKey::Locale, Steps[1].locale },
            { ItemKey::WatchCondition, WatchCondition::InStock }, { ItemKey::Quantity, 1 } });
        database.SaveItems(items << restock);
    }
    QSettings settings(Path("config/Pricewarden/Pricewarden.conf"), QSettings::IniFormat);
    settings.setValue("MainWindow/Options",
        QVariantMap { { OptionKey::AutoStart, true }, { OptionKey::Email, Email },
            { OptionKey::WatchIntervalSeconds, 1 }, { OptionKey::DesktopNotifications, true } });
    settings.setValue("Amazon/Locale", "de");
}

void TestEndToEnd::dropRestockAndFaults()
{
    m_store.setProcessEnvironment(Profile());
    m_store.start(Bin("pricewarden-sim"),
        { "--tick", "0", "--quiet", "--mbox", Path("alerts.mbox"), "--seed", "7" });
    QVERIFY(m_store.waitForReadyRead(10000));
    m_proxy = QString::fromUtf8(m_store.readLine()).trimmed().remove("http_proxy=");
    QVERIFY2(m_proxy.startsWith("http://127.0.0.1:"), qPrintable(m_proxy));
    SeedProfile();
    if (QTest::currentTestFailed())
        return;

    QProcessEnvironment environment = Profile();
    environment.insert("http_proxy", m_proxy);
    environment.insert(WatchCycle::MinimumIntervalVariable, "1");
    environment.insert("PRICEWARDEN_TRANSCRIPT", Path("transcript.txt"));
    environment.insert("DBUS_SESSION_BUS_ADDRESS", m_bus.address());
    m_app.setProcessEnvironment(environment);
    m_app.start(Bin("pricewarden"));
    QTRY_COMPARE_WITH_TIMEOUT(Transcript("log").value(0), "Start watching.", 10000);

    // A refused poll is reported once; polling goes on.
    QTRY_VERIFY_WITH_TIMEOUT(Requests("OfferFull") > 0, 10000);
    Control("POST", "faults", { { "kind", "http503" } });
    QTRY_COMPARE_WITH_TIMEOUT(Transcript("error").size(), 1, 10000);
    const int polls = Requests("OfferFull");
    QTRY_VERIFY_WITH_TIMEOUT(Requests("OfferFull") > polls, 10000);

    for (const Step& step : Steps) {
        // The second alert's e-mail is refused by the vendor's service.
        if (&step == &Steps[1]) {
            Control("POST", "faults",
                { { "kind", "error-reply" }, { "target", "vendor" },
                    { "message", "Mailbox full" } });
        }
        Control("PATCH", QStringLiteral("items/%1/%2").arg(step.locale, step.asin), step.patch);
        const int alerts = int(&step - Steps) + 1;
        QTRY_COMPARE_WITH_TIMEOUT(Transcript("alert").size(), alerts, 15000);
        QVERIFY2(Transcript("alert").last().endsWith(step.alert), step.what);
        QTRY_COMPARE_WITH_TIMEOUT(m_notifications->shown.size(), alerts, 5000);
        QVERIFY2(m_notifications->shown.last().startsWith(step.notification),
            qPrintable(m_notifications->shown.last()));
        QTRY_COMPARE_WITH_TIMEOUT(Requests("CartCreate"), alerts, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(Requests("SendEmail"), alerts, 5000);
    }
    // Two more polls of the same prices raise nothing again.
    const int before = Requests("OfferFull");
    QTRY_VERIFY_WITH_TIMEOUT(Requests("OfferFull") >= before + 8, 15000);
    QCOMPARE(::kill(pid_t(m_app.processId()), SIGTERM), 0);
    QVERIFY(WaitForExit(m_app, 10000));
    QCOMPARE(m_app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_app.exitCode(), 0);

    // What the user saw.
    QCOMPARE(Transcript("log"),
        QStringList({ "Start watching.", Steps[0].alert, Steps[1].alert,
            "The alert e-mail could not be sent: Mailbox full" }));
    QCOMPARE(Transcript("alert").size(), 2);
    QCOMPARE(Transcript("error").size(), 1);
    QStringList pages;
    for (const QString& url : Transcript("open"))
        pages << QUrl(url).host() + QUrl(url).path().section('/', 0, 2);
    QCOMPARE(pages,
        QStringList({ "www.amazon.com/gp/product", "www.amazon.com/gp/cart",
            "www.amazon.co.uk/gp/product", "www.amazon.co.uk/gp/cart" }));
    QCOMPARE(Requests("CartCreate"), 2);
    QFile mbox(Path("alerts.mbox"));
    QVERIFY(mbox.open(QIODevice::ReadOnly));
    const QString mail = QString::fromUtf8(mbox.readAll());
    QCOMPARE(mail.count(QRegularExpression("^From ", QRegularExpression::MultilineOption)), 1);
    for (const QString& part :
        { "To: " + Email, QStringLiteral("Subject: The item you are watching is available!"),
            QStringLiteral("\n  Price: $10.00\n"), QStringLiteral("/B0PW000010") })
        QVERIFY2(mail.contains(part), qPrintable(part));

    // What the profile keeps: the alerts are over, the prices recorded, the
    // settings written on the way out.
    {
        DatabaseManager database(DatabaseFile());
        QSqlQuery sql(QSqlDatabase::database(database.ConnectionName()));
        QVERIFY(sql.exec("PRAGMA integrity_check") && sql.next());
        QCOMPARE(sql.value(0).toString(), "ok");
        QVERIFY(sql.exec("SELECT group_concat(Locale || ':' || WatchCondition) FROM "
                         "(SELECT * FROM watchlist ORDER BY Locale, ASIN)")
            && sql.next());
        QCOMPARE(sql.value(0).toString(), "ca:0,de:2,fr:2,jp:2,uk:0,uk:2,us:0");
        for (const Step& step : Steps) {
            QVERIFY(sql.prepare("SELECT count(*), (SELECT Price FROM pricehistory WHERE ASIN = ? "
                                "AND Locale = ? ORDER BY Timestamp DESC LIMIT 1) "
                                "FROM pricehistory WHERE ASIN = ? AND Locale = ?"));
            for (int i = 0; i < 2; ++i) {
                sql.addBindValue(step.asin);
                sql.addBindValue(step.locale);
            }
            QVERIFY(sql.exec() && sql.next());
            QVERIFY2(sql.value(0).toInt() >= step.historyRows, step.what);
            QCOMPARE(sql.value(1).toDouble(), step.lastPoint);
        }
    }
    QSettings settings(Path("config/Pricewarden/Pricewarden.conf"), QSettings::IniFormat);
    const QVariantMap options = settings.value("MainWindow/Options").toMap();
    QCOMPARE(options.value(OptionKey::Email).toString(), Email);
    QCOMPARE(options.value(OptionKey::AutoStart).toBool(), true);
    QCOMPARE(options.value(OptionKey::WatchIntervalSeconds).toInt(), 1);
    QCOMPARE(settings.value("Amazon/Locale").toString(), "de");
    QVERIFY(settings.contains("MainWindow/Geometry"));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
