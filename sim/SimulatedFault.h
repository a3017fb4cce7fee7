#pragma once

#include <QMetaType>
#include <QString>

// A misbehaviour the simulated store shows for the next requests to one of
// its services, so that tests and demos can watch the client cope with it.
struct SimulatedFault
{
    enum class Kind
    {
        Delay, // the normal answer, sent after delayMs
        NoAnswer, // the connection stays open and silent until the client gives up
        Http500, // HTTP 500 with a short XML error body
        Http503, // HTTP 503 with a short XML error body
        MalformedXml, // HTTP 200 with a body that is not well-formed XML
        TruncatedBody, // Content-Length larger than the bytes sent, then the connection closes
        Pieces, // the normal answer in many small pieces with pauses in between
        ErrorReply, // HTTP 200 with the service's own error document (message, level)
        HugeBody // HTTP 200 without a length, then bytes of filler until the client hangs up
    };

    // Which requests a fault waits for.
    enum class Target
    {
        ProductApi, // the stores' product API hosts
        VendorService, // the vendor's service host
        Image // the image host
    };

    Kind kind = Kind::Delay;
    Target target = Target::ProductApi;
    int count = 1; // how many of the next requests to the target it affects
    int delayMs = 0; // Delay: wait before answering; Pieces: pause between pieces (0: 30 ms)
    int pieces = 8; // Pieces: into how many pieces the body is cut (at least 2)
    QString message = QStringLiteral("Simulated failure."); // ErrorReply: the error text
    QString level = QStringLiteral("Error"); // ErrorReply: the vendor service's error level
    qint64 bytes = 100LL * 1024 * 1024; // HugeBody: how much is sent at most

    // The name used by the control interface and the request log:
    // "delay", "no-answer", "http500", "http503", "malformed-xml",
    // "truncated-body", "pieces", "error-reply", "huge-body".
    static QString kindName(Kind kind);
    // Kind for a name; false when the name is unknown.
    static bool kindFromName(const QString& name, Kind* kind);
    // "product-api", "vendor" (also read as "vendor-service", the request
    // log's name), "image".
    static QString targetName(Target target);
    static bool targetFromName(const QString& name, Target* target);
};

Q_DECLARE_METATYPE(SimulatedFault)
