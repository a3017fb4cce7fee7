#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

// A minimal HTTP proxy on 127.0.0.1 for the product client's wire tests: it
// keeps the raw head of every request exactly as it arrived (request line and
// headers, nothing decoded) and answers from a script of canned answers.
class ConnectorWireRecorder : public QObject
{
    Q_OBJECT

public:
    struct Answer
    {
        int status = 200;
        QByteArray body;
        int pieces = 1; // the body is written in this many parts ...
        int pauseMs = 0; // ... with this pause between them
    };

    explicit ConnectorWireRecorder(QObject* parent = nullptr);

    bool listen();
    QString proxyUrl() const;

    // Answers for the next requests, in order; once they are used up every
    // request gets the default answer (200 with an empty lookup reply).
    void enqueueAnswer(const Answer& answer);

    QList<QByteArray> requestHeads() const { return m_heads; }
    // The request line of the n-th request, without its line end.
    QByteArray requestLine(int nIndex) const;
    // The value of a header of the n-th request; empty if it is absent.
    QByteArray header(int nIndex, const QByteArray& name) const;

signals:
    void requestReceived();

private:
    void OnNewConnection();
    void OnReadyRead(QTcpSocket* socket);
    void Respond(QTcpSocket* socket, const Answer& answer);

    QTcpServer m_server;
    QList<Answer> m_script;
    QList<QByteArray> m_heads;
};
