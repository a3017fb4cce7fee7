#include "ConnectorWireRecorder.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

namespace {

const QByteArray HeadEnd = "\r\n\r\n";

QByteArray DefaultLookupBody()
{
    return "<ItemLookupResponse><Items><Request><IsValid>True</IsValid></Request></Items>"
           "</ItemLookupResponse>";
}

} // namespace

ConnectorWireRecorder::ConnectorWireRecorder(QObject* parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &ConnectorWireRecorder::OnNewConnection);
}

bool ConnectorWireRecorder::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString ConnectorWireRecorder::proxyUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

void ConnectorWireRecorder::enqueueAnswer(const Answer& answer)
{
    m_script.append(answer);
}

QByteArray ConnectorWireRecorder::requestLine(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_heads.size())
        return {};
    const QByteArray& head = m_heads.at(nIndex);
    return head.left(head.indexOf("\r\n"));
}

QByteArray ConnectorWireRecorder::header(int nIndex, const QByteArray& name) const
{
    if (nIndex < 0 || nIndex >= m_heads.size())
        return {};
    const QList<QByteArray> lines = m_heads.at(nIndex).split('\n');
    for (const QByteArray& line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

void ConnectorWireRecorder::OnNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void ConnectorWireRecorder::OnReadyRead(QTcpSocket* socket)
{
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    qsizetype end = buffer.indexOf(HeadEnd);
    while (end >= 0) {
        m_heads.append(buffer.left(end + HeadEnd.size()));
        buffer.remove(0, end + HeadEnd.size());
        const Answer answer
            = m_script.isEmpty() ? Answer { 200, DefaultLookupBody(), 1, 0 } : m_script.takeFirst();
        emit requestReceived();
        Respond(socket, answer);
        end = buffer.indexOf(HeadEnd);
    }
    socket->setProperty("buffer", buffer);
}

void ConnectorWireRecorder::Respond(QTcpSocket* socket, const Answer& answer)
{
    socket->write("HTTP/1.1 " + QByteArray::number(answer.status) + " Canned\r\n"
        + "Content-Type: text/xml; charset=UTF-8\r\nConnection: close\r\n"
        + "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n\r\n");
    const int pieces = std::max(1, answer.pieces);
    const qsizetype pieceSize = (answer.body.size() + pieces - 1) / pieces;
    QPointer<QTcpSocket> guarded(socket);
    for (int i = 0; i < pieces; ++i) {
        const QByteArray piece = answer.body.mid(i * pieceSize, pieceSize);
        const bool last = i == pieces - 1;
        QTimer::singleShot(i * answer.pauseMs, this, [guarded, piece, last] {
            if (!guarded)
                return;
            guarded->write(piece);
            guarded->flush();
            if (last)
                guarded->disconnectFromHost();
        });
    }
}
