#pragma once

#include <QByteArray>

// One answer of the simulated store before it goes on the wire (where an
// injected fault may still change how it is sent).
struct HttpAnswer
{
    int status = 200;
    QByteArray contentType;
    QByteArray body;

    static HttpAnswer xml(int status, const QByteArray& body)
    {
        return { status, QByteArrayLiteral("text/xml;charset=UTF-8"), body };
    }
    static HttpAnswer json(int status, const QByteArray& body)
    {
        return { status, QByteArrayLiteral("application/json"), body };
    }
    static HttpAnswer text(int status, const QByteArray& body)
    {
        return { status, QByteArrayLiteral("text/plain;charset=UTF-8"), body };
    }
};
