#include "CurlMulti.h"

#include <QSocketNotifier>
#include <chrono>
#include <utility>

namespace {

void InitializeCurlOnce()
{
    // curl_global_init is not reference counted in a useful way and the
    // library stays loaded for the whole run, so it is never undone.
    static const CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
    Q_UNUSED(result);
}

} // namespace

CurlMulti::CurlMulti(QObject* parent)
    : QObject(parent)
{
    InitializeCurlOnce();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { Act(CURL_SOCKET_TIMEOUT, 0); });
    m_multi = curl_multi_init();
    if (m_multi) {
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &CurlMulti::OnSocket);
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &CurlMulti::OnTimer);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    }
}

CurlMulti::~CurlMulti()
{
    if (!m_multi)
        return;
    // From here on curl must not call back into an object being torn down.
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, nullptr);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, nullptr);
    for (auto it = m_transfers.cbegin(); it != m_transfers.cend(); ++it) {
        if (it->attached)
            curl_multi_remove_handle(m_multi, it.key());
    }
    for (const SocketWatch& watch : std::as_const(m_sockets)) {
        delete watch.read;
        delete watch.write;
    }
    curl_multi_cleanup(m_multi);
}

bool CurlMulti::Add(CURL* easy, Finished finished)
{
    if (!m_multi || !easy || m_transfers.contains(easy))
        return false;
    // Registered first: adding may already call back for the first timeout.
    m_transfers.insert(easy, Transfer { std::move(finished), ++m_lastSerial, true });
    if (curl_multi_add_handle(m_multi, easy) != CURLM_OK) {
        m_transfers.remove(easy);
        return false;
    }
    return true;
}

void CurlMulti::Remove(CURL* easy)
{
    const auto it = m_transfers.constFind(easy);
    if (it == m_transfers.cend())
        return;
    const bool attached = it->attached;
    m_transfers.erase(it);
    if (attached)
        curl_multi_remove_handle(m_multi, easy);
}

int CurlMulti::OnSocket(CURL*, curl_socket_t socket, int what, void* self, void*)
{
    static_cast<CurlMulti*>(self)->WatchSocket(socket, what);
    return 0;
}

int CurlMulti::OnTimer(CURLM*, long timeoutMs, void* self)
{
    QTimer& timer = static_cast<CurlMulti*>(self)->m_timer;
    if (timeoutMs < 0)
        timer.stop();
    else
        timer.start(std::chrono::milliseconds(timeoutMs));
    return 0;
}

void CurlMulti::WatchSocket(curl_socket_t socket, int what)
{
    if (what == CURL_POLL_REMOVE) {
        ForgetSocket(socket);
        return;
    }
    auto it = m_sockets.find(socket);
    if (it == m_sockets.end()) {
        SocketWatch watch;
        watch.read = new QSocketNotifier(socket, QSocketNotifier::Read, this);
        watch.write = new QSocketNotifier(socket, QSocketNotifier::Write, this);
        connect(watch.read, &QSocketNotifier::activated, this,
            [this, socket] { Act(socket, CURL_CSELECT_IN); });
        connect(watch.write, &QSocketNotifier::activated, this,
            [this, socket] { Act(socket, CURL_CSELECT_OUT); });
        it = m_sockets.insert(socket, watch);
    }
    it->read->setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    it->write->setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
}

void CurlMulti::ForgetSocket(curl_socket_t socket)
{
    const SocketWatch watch = m_sockets.take(socket);
    // curl may drop a socket while its own notifier is delivering: disable
    // now, delete once that delivery is over.
    for (QSocketNotifier* notifier : { watch.read, watch.write }) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
}

void CurlMulti::Act(curl_socket_t socket, int events)
{
    int running = 0;
    curl_multi_socket_action(m_multi, socket, events, &running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        CURL* easy = message->easy_handle;
        const CURLcode result = message->data.result;
        curl_multi_remove_handle(m_multi, easy);
        const auto it = m_transfers.find(easy);
        if (it == m_transfers.end())
            continue;
        it->attached = false;
        // The serial tells a later transfer that reuses this handle's
        // address from the one that finished.
        const quint64 serial = it->serial;
        QMetaObject::invokeMethod(
            this, [this, easy, serial, result] { Deliver(easy, serial, result); },
            Qt::QueuedConnection);
    }
}

void CurlMulti::Deliver(CURL* easy, quint64 serial, CURLcode result)
{
    const auto it = m_transfers.find(easy);
    if (it == m_transfers.end() || it->serial != serial)
        return;
    Finished finished = std::move(it->finished);
    m_transfers.erase(it);
    if (finished)
        finished(result);
}
