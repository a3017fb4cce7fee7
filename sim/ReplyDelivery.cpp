#include "ReplyDelivery.h"

#include <QTimer>

ReplyDelivery::ReplyDelivery(QObject* parent)
    : QObject(parent)
{
}

ReplyDelivery::~ReplyDelivery()
{
    releaseSilentConnections();
}

void ReplyDelivery::send(QHttpServerResponder&& responder, const HttpAnswer& answer)
{
    writeNow(responder, answer);
}

HttpAnswer ReplyDelivery::faultyAnswer(
    const HttpAnswer& answer, const SimulatedFault& fault, const ErrorDocument& errorDocument)
{
    switch (fault.kind) {
    case SimulatedFault::Kind::Http500:
        return errorDocument(500, QStringLiteral("InternalError"),
            QStringLiteral("We encountered an internal error. Please try again."), fault.level);
    case SimulatedFault::Kind::Http503:
        return errorDocument(503, QStringLiteral("RequestThrottled"),
            QStringLiteral("Request is throttled. Please slow down and retry."), fault.level);
    case SimulatedFault::Kind::ErrorReply:
        return errorDocument(200, QStringLiteral("SimulatedError"), fault.message, fault.level);
    case SimulatedFault::Kind::MalformedXml: {
        // The first half of the real document, closed by a tag that opens
        // nothing: no parser accepts it.
        HttpAnswer broken = answer;
        broken.status = 200;
        broken.body = answer.body.left(answer.body.size() / 2) + "</Wrong><<Items>";
        return broken;
    }
    case SimulatedFault::Kind::NoAnswer: {
        HttpAnswer none = answer;
        none.status = 0;
        return none;
    }
    case SimulatedFault::Kind::HugeBody: {
        HttpAnswer endless = answer;
        endless.status = 200;
        return endless;
    }
    case SimulatedFault::Kind::Delay:
    case SimulatedFault::Kind::TruncatedBody:
    case SimulatedFault::Kind::Pieces:
        break;
    }
    return answer;
}

void ReplyDelivery::sendWithFault(
    QHttpServerResponder&& responder, const HttpAnswer& answer, const SimulatedFault& fault)
{
    switch (fault.kind) {
    case SimulatedFault::Kind::Delay:
        sendLater(hold(std::move(responder)), answer, fault.delayMs);
        return;
    case SimulatedFault::Kind::NoAnswer:
        m_silent.push_back(hold(std::move(responder)));
        return;
    case SimulatedFault::Kind::TruncatedBody:
        sendTruncated(std::move(responder), answer);
        return;
    case SimulatedFault::Kind::Pieces:
        sendInPieces(hold(std::move(responder)), answer, fault.pieces,
            fault.delayMs > 0 ? fault.delayMs : DefaultPiecePauseMs);
        return;
    case SimulatedFault::Kind::HugeBody:
        sendEndless(hold(std::move(responder)), answer, fault.bytes);
        return;
    case SimulatedFault::Kind::Http500:
    case SimulatedFault::Kind::Http503:
    case SimulatedFault::Kind::MalformedXml:
    case SimulatedFault::Kind::ErrorReply:
        break;
    }
    writeNow(responder, answer);
}

void ReplyDelivery::releaseSilentConnections()
{
    for (Pending& pending : m_silent) {
        if (pending.socket)
            pending.socket->abort();
    }
    m_silent.clear();
}

ReplyDelivery::Pending ReplyDelivery::hold(QHttpServerResponder&& responder)
{
    Pending pending;
    pending.socket = responder.socket();
    pending.responder = std::make_shared<QHttpServerResponder>(std::move(responder));
    return pending;
}

void ReplyDelivery::writeNow(QHttpServerResponder& responder, const HttpAnswer& answer)
{
    responder.write(answer.body, answer.contentType,
        static_cast<QHttpServerResponder::StatusCode>(answer.status));
}

// Status line and headers announcing the whole body, which then follows in
// parts (or not completely).
void ReplyDelivery::writeHead(QHttpServerResponder& responder, const HttpAnswer& answer)
{
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(answer.status));
    responder.writeHeader("Content-Type", answer.contentType);
    responder.writeHeader("Content-Length", QByteArray::number(answer.body.size()));
}

void ReplyDelivery::sendLater(Pending pending, const HttpAnswer& answer, int delayMs)
{
    QTimer::singleShot(qMax(0, delayMs), this, [pending, answer]() {
        if (pending.socket)
            writeNow(*pending.responder, answer);
    });
}

void ReplyDelivery::sendTruncated(QHttpServerResponder&& responder, const HttpAnswer& answer)
{
    writeHead(responder, answer);
    responder.writeBody(answer.body.left(answer.body.size() / 2));
    responder.socket()->disconnectFromHost();
}

void ReplyDelivery::sendInPieces(Pending pending, const HttpAnswer& answer, int pieces, int pauseMs)
{
    const int count = qMax(2, pieces);
    const qsizetype size = qMax<qsizetype>(1, (answer.body.size() + count - 1) / count);
    auto parts = std::make_shared<QList<QByteArray>>();
    for (qsizetype offset = 0; offset < answer.body.size(); offset += size)
        parts->append(answer.body.mid(offset, size));
    writeHead(*pending.responder, answer);
    if (parts->isEmpty())
        pending.responder->writeBody(QByteArray());
    sendNextPiece(pending, parts, pauseMs);
}

void ReplyDelivery::sendNextPiece(
    Pending pending, std::shared_ptr<QList<QByteArray>> pieces, int pauseMs)
{
    if (!pending.socket || pieces->isEmpty())
        return;
    pending.responder->writeBody(pieces->takeFirst());
    pending.socket->flush();
    if (pieces->isEmpty())
        return;
    QTimer::singleShot(pauseMs, this,
        [this, pending, pieces, pauseMs]() { sendNextPiece(pending, pieces, pauseMs); });
}

// No length is announced, so the client cannot refuse the body up front;
// it arrives as fast as the client reads it, and is made as it goes, so the
// store never holds more than a little of it.
void ReplyDelivery::sendEndless(Pending pending, const HttpAnswer& answer, qint64 bytes)
{
    static constexpr qint64 ChunkBytes = 64 * 1024;
    static constexpr qint64 QueuedBytes = 1024 * 1024;
    pending.responder->writeStatusLine(QHttpServerResponder::StatusCode::Ok);
    pending.responder->writeHeader("Content-Type", answer.contentType);
    pending.responder->writeHeader("Connection", "close");
    const QByteArray start = answer.body.left(bytes);
    pending.responder->writeBody(start);
    auto sent = std::make_shared<qint64>(start.size());
    const auto more = [pending, sent, bytes]() {
        static const QByteArray filler(ChunkBytes, ' ');
        QTcpSocket* socket = pending.socket;
        while (socket && socket->state() == QAbstractSocket::ConnectedState
            && socket->bytesToWrite() < QueuedBytes && *sent < bytes) {
            const qint64 size = qMin(ChunkBytes, bytes - *sent);
            pending.responder->writeBody(filler.constData(), size);
            *sent += size;
        }
        if (socket && *sent >= bytes)
            socket->disconnectFromHost();
    };
    if (pending.socket)
        connect(pending.socket, &QTcpSocket::bytesWritten, this, more);
    more();
}
