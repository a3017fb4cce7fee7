#include "SimulatedHttpServer.h"

#include <QHttpServerRequest>

SimulatedHttpServer::SimulatedHttpServer(Handler handler, QObject* parent)
    : QAbstractHttpServer(parent)
    , m_handler(std::move(handler))
{
}

bool SimulatedHttpServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    m_handler(request, makeResponder(request, socket));
    return true;
}

// Never reached: handleRequest takes every request.
void SimulatedHttpServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}
