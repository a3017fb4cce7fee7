#pragma once

#include "HttpAnswer.h"
#include "SimulatedFault.h"

#include <QHttpServerResponder>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Puts answers on the wire, either plainly or the way an injected fault
// says: late, never, cut short, broken, or in many small pieces. Every
// deferred write first checks that the client is still connected, since it
// may have given up meanwhile.
class ReplyDelivery : public QObject
{
public:
    explicit ReplyDelivery(QObject* parent = nullptr);
    ~ReplyDelivery() override;

    // The failure document of the service a fault strikes, for a status,
    // an error code, a message and a level.
    using ErrorDocument = std::function<HttpAnswer(
        int status, const QString& code, const QString& message, const QString& level)>;

    void send(QHttpServerResponder&& responder, const HttpAnswer& answer);
    // The answer as the fault changes it; the status the client will see
    // (0 for no answer).
    static HttpAnswer faultyAnswer(
        const HttpAnswer& answer, const SimulatedFault& fault, const ErrorDocument& errorDocument);
    void sendWithFault(
        QHttpServerResponder&& responder, const HttpAnswer& answer, const SimulatedFault& fault);
    // Closes every connection held open by a NoAnswer fault.
    void releaseSilentConnections();

    static constexpr int DefaultPiecePauseMs = 30;

private:
    struct Pending
    {
        std::shared_ptr<QHttpServerResponder> responder;
        QPointer<QTcpSocket> socket;
    };

    static Pending hold(QHttpServerResponder&& responder);
    static void writeNow(QHttpServerResponder& responder, const HttpAnswer& answer);
    static void writeHead(QHttpServerResponder& responder, const HttpAnswer& answer);
    void sendLater(Pending pending, const HttpAnswer& answer, int delayMs);
    void sendTruncated(QHttpServerResponder&& responder, const HttpAnswer& answer);
    void sendInPieces(Pending pending, const HttpAnswer& answer, int pieces, int pauseMs);
    void sendNextPiece(Pending pending, std::shared_ptr<QList<QByteArray>> pieces, int pauseMs);
    void sendEndless(Pending pending, const HttpAnswer& answer, qint64 bytes);

    std::vector<Pending> m_silent;
};
