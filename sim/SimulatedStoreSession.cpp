#include "SimulatedStoreSession.h"

#include <QNetworkProxyFactory>

namespace {

void restoreVariable(const char* name, bool had, const QByteArray& value)
{
    if (had)
        qputenv(name, value);
    else
        qunsetenv(name);
}

} // namespace

SimulatedStoreSession::SimulatedStoreSession()
{
    m_ready = m_store.listen();
    if (!m_ready)
        return;
    m_hadHttpProxy = qEnvironmentVariableIsSet("http_proxy");
    m_previousHttpProxy = qgetenv("http_proxy");
    m_hadHttpProxyUpper = qEnvironmentVariableIsSet("HTTP_PROXY");
    m_previousHttpProxyUpper = qgetenv("HTTP_PROXY");
    m_hadNoProxy = qEnvironmentVariableIsSet("no_proxy");
    m_previousNoProxy = qgetenv("no_proxy");

    const QByteArray proxy = m_store.proxyUrl().toLatin1();
    qputenv("http_proxy", proxy);
    qputenv("HTTP_PROXY", proxy);
    // The control interface sits on the proxy's own address and must be
    // reached directly, never through the proxy itself.
    qputenv("no_proxy", "127.0.0.1,localhost");
    QNetworkProxyFactory::setUseSystemConfiguration(true);
}

SimulatedStoreSession::~SimulatedStoreSession()
{
    if (!m_ready)
        return;
    restoreVariable("http_proxy", m_hadHttpProxy, m_previousHttpProxy);
    restoreVariable("HTTP_PROXY", m_hadHttpProxyUpper, m_previousHttpProxyUpper);
    restoreVariable("no_proxy", m_hadNoProxy, m_previousNoProxy);
}
