#pragma once

#include <QAbstractHttpServer>
#include <QHttpServerResponder>
#include <functional>

// An HTTP server that hands every request, whatever its path or target
// host, to one function. The router of QHttpServer is built for origin-form
// paths and cannot be given a catch-all cleanly; a proxy needs one.
class SimulatedHttpServer : public QAbstractHttpServer
{
public:
    using Handler = std::function<void(const QHttpServerRequest&, QHttpServerResponder&&)>;

    explicit SimulatedHttpServer(Handler handler, QObject* parent = nullptr);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    Handler m_handler;
};
