#pragma once

#include "SimulatedStore.h"

#include <QByteArray>

// Test fixture: a simulated store listening on a free loopback port and set
// as this process's HTTP proxy (http_proxy and HTTP_PROXY), so every
// QNetworkAccessManager that uses the system proxy configuration reaches it.
// The previous proxy variables come back when the session ends.
class SimulatedStoreSession
{
public:
    SimulatedStoreSession();
    ~SimulatedStoreSession();

    SimulatedStoreSession(const SimulatedStoreSession&) = delete;
    SimulatedStoreSession& operator=(const SimulatedStoreSession&) = delete;

    // False when the store could not listen; the proxy is then left alone.
    bool isReady() const { return m_ready; }
    SimulatedStore& store() { return m_store; }
    QString proxyUrl() const { return m_store.proxyUrl(); }

private:
    SimulatedStore m_store;
    bool m_ready = false;
    QByteArray m_previousHttpProxy;
    QByteArray m_previousHttpProxyUpper;
    QByteArray m_previousNoProxy;
    bool m_hadHttpProxy = false;
    bool m_hadHttpProxyUpper = false;
    bool m_hadNoProxy = false;
};
