// The vendor service client against a scripted proxy on a free loopback
// port: the exact bytes it sends, the pace of its queue, and what each kind
// of answer turns into.
#include "Global.h"
#include "ScratchEnvironment.h"
#include "ServiceManager.h"

#include <QMessageAuthenticationCode>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

const QDateTime SentAt(QDate(2011, 5, 1), QTime(12, 34, 56), Qt::UTC);
const QByteArray Stream = "stream"; // a reply that never ends

QByteArray Http(const QByteArray& status, const QByteArray& body, bool withLength = true)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/xml\r\nConnection: close\r\n"
        + (withLength ? "Content-Length: " + QByteArray::number(body.size()) + "\r\n" : "") + "\r\n"
        + body;
}

QByteArray Nested(int depth)
{
    return "<R><Service>Version</Service><LatestVersion>2</LatestVersion>"
        + QByteArray("<n>").repeated(depth - 1) + QByteArray("</n>").repeated(depth - 1) + "</R>";
}

// Signed independently of the client: Qt's HMAC, Base64, "+/=" escaped.
QByteArray Signed(const QByteArray& parameters)
{
    return parameters + "&Signature="
        + QMessageAuthenticationCode::hash(
            parameters, Global::SignatureKeyString.toUtf8(), QCryptographicHash::Sha256)
              .toBase64()
              .toPercentEncoding();
}

// Records each request (head and body) and answers it with the next
// scripted reply, after an optional pause.
struct ScriptedProxy : QTcpServer
{
    struct Request
    {
        QByteArray head, body;
        QDateTime arrival, answered;
    };
    QList<Request> requests;
    QList<QByteArray> replies;
    int pauseMs = 0;
    qint64 streamed = 0;

    ScriptedProxy()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        });
    }
    void Read(QTcpSocket* socket)
    {
        const QByteArray held = socket->property("held").toByteArray() + socket->readAll();
        socket->setProperty("held", held);
        const qsizetype end = held.indexOf("\r\n\r\n");
        const QByteArray head = held.left(end);
        const qsizetype at = head.indexOf("Content-Length: ");
        const int length = at < 0 ? 0 : head.mid(at + 16).split('\r').first().toInt();
        if (end < 0 || held.size() < end + 4 + length)
            return;
        requests.append({ head, held.mid(end + 4), QDateTime::currentDateTimeUtc(), {} });
        const int index = int(requests.size()) - 1;
        QTimer::singleShot(pauseMs, socket, [this, socket, index] {
            requests[index].answered = QDateTime::currentDateTimeUtc();
            const QByteArray reply = replies.value(index, Http("404 Not Found", ""));
            if (reply != Stream) {
                socket->write(reply);
                socket->disconnectFromHost();
                return;
            }
            socket->write(Http("200 OK", "<?xml version=\"1.0\"?><R>", false));
            const auto more = [this, socket] {
                while (socket->state() == QTcpSocket::ConnectedState
                    && socket->bytesToWrite() < (1 << 20) && streamed < (100 << 20))
                    streamed += std::max<qint64>(0, socket->write(QByteArray(1 << 16, ' ')));
            };
            connect(socket, &QTcpSocket::bytesWritten, socket, more);
            more();
        });
    }
};

} // namespace

class TestServiceManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void queriesLeaveOneAtATimeSigned();
    void replyOutcome_data();
    void replyOutcome();

private:
    ScratchEnvironment m_scratch;
    std::unique_ptr<ScriptedProxy> m_proxy;
    std::unique_ptr<ServiceManager> m_client;
    std::unique_ptr<QSignalSpy> m_errors;
};

void TestServiceManager::init()
{
    Global::InitializeSettings();
    m_errors.reset();
    m_client.reset();
    m_proxy = std::make_unique<ScriptedProxy>();
    QVERIFY(m_proxy->isListening());
    qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(m_proxy->serverPort()));
    // A dead application proxy: only a client that turns the system proxy
    // configuration on reaches the scripted one.
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", 1));
    m_client = std::make_unique<ServiceManager>();
    // Not in UTC: the timestamp is converted, and ends in one "Z".
    m_client->SetClock([] { return SentAt.toOffsetFromUtc(7200); });
    m_errors = std::make_unique<QSignalSpy>(m_client.get(), &ServiceManager::Error);
}

void TestServiceManager::queriesLeaveOneAtATimeSigned()
{
    m_proxy->pauseMs = 300;
    m_proxy->replies = { Http("200 OK", "<R><Service>SendEmail</Service></R>") };
    const QDateTime asked = QDateTime::currentDateTimeUtc();
    m_client->QuerySendEmail("a+b@x.example", "Tom & Jerry = 1+1", "Prix : \u00E9\u20AC\nligne");
    m_client->QuerySendEmail("second@x.example", "s", "c");
    m_client->QueryVersion();
    QTRY_COMPARE_WITH_TIMEOUT(m_proxy->requests.size(), 3, 5000);

    const auto& requests = m_proxy->requests;
    const QByteArray url = Global::ServiceUrl.toUtf8();
    const QByteArray stamp = "Timestamp=2011-05-01T12%3A34%3A56Z&Version=1.3";
    QVERIFY(requests[0].head.startsWith("POST " + url + " HTTP/1.1\r\n"));
    QVERIFY(requests[0].head.contains("\r\nContent-Type: application/x-www-form-urlencoded\r\n"));
    // Keys sorted by code unit, values escaped so that they cannot break the
    // pairing, the content UTF-8-encoded once.
    QCOMPARE(requests[0].body,
        Signed("Content=Prix%20%3A%20%C3%A9%E2%82%AC%0Aligne&Email=a%2Bb%40x.example&Service="
               "SendEmail&Subject=Tom%20%26%20Jerry%20%3D%201%2B1&"
            + stamp));
    QVERIFY(requests[1].body.contains("&Email=second%40x.example&"));
    QVERIFY(requests[2].head.startsWith(
        "GET " + url + "?" + Signed("Service=Version&" + stamp) + " HTTP/1.1\r\n"));
    // Nothing leaves inside Query, the first tick sends it; each one waits
    // until the one before has been answered.
    QVERIFY(asked.msecsTo(requests[0].arrival) >= ServiceManager::QueueIntervalMilliseconds);
    QVERIFY(requests[0].answered <= requests[1].arrival);
    QVERIFY(requests[1].answered <= requests[2].arrival);
}

void TestServiceManager::replyOutcome_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QVariantMap>("info"); // VersionInfoAvailable; empty: not emitted
    QTest::addColumn<QStringList>("error"); // message start, service, level; empty: none

    const QByteArray version
        = "<?xml version=\"1.0\"?><R><Service>Version</Service><LatestVersion>"
          "1</LatestVersion><LatestVersion>\u202E2\n</LatestVersion><MoreInfo>a<b>b"
          "</b></MoreInfo></R>";
    const QVariantMap info { { "Service", "Version" }, { "LatestVersion", "2" },
        { "MoreInfo", "ab" } };
    const QVariantMap deep { { "Service", "Version" }, { "LatestVersion", "2" }, { "n", "" } };
    const QStringList none;
    QTest::newRow("from the last declaration on")
        << Http("200 OK", "Warning: x\n<?xml version=\"1.0\"?><Broken>" + version) << info << none;
    QTest::newRow("404 still parsed") << Http("404 Not Found", version, false) << info << none;
    QTest::newRow("e-mail sent") << Http("200 OK", "<R><Service>SendEmail</Service></R>")
                                 << QVariantMap() << none;
    // One short line each: a message box shows them.
    QTest::newRow("error reply: the request's service")
        << Http("200 OK",
               "<R><Service>Version</Service><Error><Level>\u202EWarning\n</Level><Message>"
               "Mailbox\n\u202Efull "
                   + QByteArray(1 << 20, 'x') + "</Message></Error></R>")
        << QVariantMap() << QStringList { "Mailbox full xxx", "SendEmail", "Warning" };
    QTest::newRow("http status") << Http("500 Internal Server Error", version) << QVariantMap()
                                 << QStringList { "Network error: (401) ", "SendEmail", "Error" };
    QTest::newRow("unreadable") << Http("200 OK", "<html>Proxy error") << QVariantMap()
                                << QStringList { "Unknown service", "SendEmail", "Error" };
    QTest::newRow("nested to the bound") << Http("200 OK", Nested(256)) << deep << none;
    QTest::newRow("nested 200000 deep") << Http("200 OK", Nested(200000)) << QVariantMap()
                                        << QStringList { "Invalid reply: ", "SendEmail", "Error" };
    QTest::newRow("document type refused")
        << Http("200 OK",
               "<?xml version=\"1.0\"?><!DOCTYPE R [<!ENTITY v \"2\">]><R><Service>Version"
               "</Service><LatestVersion>&v;</LatestVersion></R>")
        << QVariantMap() << QStringList { "Invalid reply: a document type", "SendEmail", "Error" };
    QTest::newRow("endless") << Stream << QVariantMap()
                             << QStringList { "Reply too large", "SendEmail", "Error" };
}

void TestServiceManager::replyOutcome()
{
    QFETCH(QByteArray, reply);
    QFETCH(QVariantMap, info);
    QFETCH(QStringList, error);
    // A version query behind it: once that is answered, the first reply has
    // had all its effects.
    m_proxy->replies = { reply, Http("200 OK", "<R><Service>Version</Service></R>") };
    QSignalSpy versions(m_client.get(), &ServiceManager::VersionInfoAvailable);
    QSignalSpy progress(m_client.get(), &ServiceManager::QueryProgress);
    if (info.isEmpty())
        m_client->QuerySendEmail("a@x.example", "s", "c");
    else
        m_client->QueryVersion();
    m_client->QueryVersion();
    QTRY_COMPARE_WITH_TIMEOUT(versions.size(), info.isEmpty() ? 1 : 2, 10000);

    if (!info.isEmpty())
        QCOMPARE(versions.first().first().toMap(), info);
    QCOMPARE(m_errors->size(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty()) {
        const QList<QVariant> arguments = m_errors->first();
        QVERIFY2(arguments[0].toString().startsWith(error[0]),
            qPrintable(arguments[0].toString().left(100)));
        QVERIFY(arguments[0].toString().size() <= 400);
        QCOMPARE(arguments[1].toString(), error[1]);
        QCOMPARE(arguments[2].toString(), error[2]);
    }
    QVERIFY(m_proxy->streamed < 32 << 20);
    if (!reply.contains("Content-Length"))
        QVERIFY(!progress.isEmpty() && progress.first().first().toInt() == 100);
}

QTEST_GUILESS_MAIN(TestServiceManager)
#include "tst_servicemanager.moc"
