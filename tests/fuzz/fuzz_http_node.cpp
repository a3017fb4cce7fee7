// The HTTP node's response handling: a loopback peer answers every request
// with the input's bytes (status line, head, body, however broken), cut
// into pieces of the size the first byte picks. The node reaches the peer
// as its proxy, so a Location to any host comes back here too. Every request
// must end in exactly one answer, in time.
#include "FuzzSupport.h"
#include "HttpNode.h"
#include "ReplyText.h"

#include <QEventLoop>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdint>

namespace {

QByteArray response;
int pieceSize = 0;

void WritePiece(QPointer<QTcpSocket> socket, qsizetype at)
{
    if (!socket || socket->state() != QAbstractSocket::ConnectedState)
        return;
    const qsizetype size = pieceSize > 0 ? pieceSize : response.size();
    socket->write(response.mid(at, size));
    if (at + size < response.size())
        QTimer::singleShot(0, socket, [socket, at, size] { WritePiece(socket, at + size); });
    else
        socket->disconnectFromHost();
}

// Answers once the request head (and a form's body) has arrived.
void Read(QTcpSocket* socket)
{
    QByteArray held = socket->property("held").toByteArray() + socket->readAll();
    socket->setProperty("held", held);
    const qsizetype end = held.indexOf("\r\n\r\n");
    if (end < 0 || socket->property("answered").toBool())
        return;
    const qsizetype at = held.indexOf("Content-Length: ");
    const qsizetype length
        = at < 0 || at > end ? 0 : held.mid(at + 16, 12).split('\r')[0].toLongLong();
    if (held.size() < end + 4 + length)
        return;
    socket->setProperty("answered", true);
    WritePiece(socket, 0);
}

QTcpServer& Peer()
{
    static QTcpServer* peer = [] {
        auto* server = new QTcpServer;
        FUZZ_CHECK(server->listen(QHostAddress::LocalHost));
        QObject::connect(server, &QTcpServer::newConnection, server, [server] {
            while (QTcpSocket* socket = server->nextPendingConnection()) {
                QObject::connect(
                    socket, &QTcpSocket::readyRead, socket, [socket] { Read(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        return server;
    }();
    return *peer;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::Start();
    Peer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const bool post = data[0] & 1;
    const int pieces = (data[0] >> 1) & 0x0f;
    pieceSize = pieces == 0 ? 0 : 1 << (pieces - 1);
    response = QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    HttpNode node;
    node.SetProxy(QStringLiteral("http://127.0.0.1:%1").arg(Peer().serverPort()));
    node.SetStallTimeout(2);
    QEventLoop loop;
    int answers = 0;
    int relocations = 0;
    QObject::connect(&node, &HttpNode::HttpResponseAvailable, &loop, [&](const QByteArray& body) {
        ++answers;
        FUZZ_CHECK(body.size() <= HttpNode::MaxBodyBytes);
        loop.quit();
    });
    QObject::connect(&node, &HttpNode::Error, &loop, [&](const QString& error) {
        ++answers;
        FUZZ_CHECK(!error.isEmpty() && FuzzSupport::IsOneSaneLine(error, ReplyText::MessageLength));
        loop.quit();
    });
    QObject::connect(&node, &HttpNode::URLRelocated, &loop, [&] { ++relocations; });
    bool late = false;
    QTimer::singleShot(30000, &loop, [&] {
        late = true;
        loop.quit();
    });

    if (post)
        node.SendPostRequest(QStringLiteral("http://shop.invalid/form"), QStringLiteral("a=1&b=2"));
    else
        node.SendGetRequest(QStringLiteral("http://shop.invalid/item?id=1"));
    loop.exec();
    FUZZ_CHECK(!late);
    FUZZ_CHECK(answers == 1);
    FUZZ_CHECK(relocations <= HttpNode::MaxRedirects + 1);
    FUZZ_CHECK(node.IsIdle());
    return 0;
}
