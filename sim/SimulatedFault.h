#pragma once

#include <QMetaType>
#include <QString>

// A misbehaviour the simulated store shows for the next product API
// requests, so that tests and demos can watch the client cope with it.
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
        Pieces // the normal answer in many small pieces with pauses in between
    };

    Kind kind = Kind::Delay;
    int count = 1; // how many of the next product API requests it affects
    int delayMs = 0; // Delay: wait before answering; Pieces: pause between pieces (0: 30 ms)
    int pieces = 8; // Pieces: into how many pieces the body is cut (at least 2)

    // The name used by the control interface and the request log:
    // "delay", "no-answer", "http500", "http503", "malformed-xml",
    // "truncated-body", "pieces".
    static QString kindName(Kind kind);
    // Kind for a name; false when the name is unknown.
    static bool kindFromName(const QString& name, Kind* kind);
};

Q_DECLARE_METATYPE(SimulatedFault)
