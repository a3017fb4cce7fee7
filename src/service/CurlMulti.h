#pragma once

#include <QHash>
#include <QObject>
#include <QTimer>
#include <curl/curl.h>
#include <functional>

class QSocketNotifier;

// Drives libcurl's multi interface from the Qt event loop of the thread that
// owns it: curl names the sockets it waits on and the time it wants to be
// woken, and a socket notifier per socket and one single-shot timer hand
// control back to curl. Nothing blocks and no thread is started here.
//
// The end of a transfer is reported from the event loop, never from inside
// curl, so the callback may add or remove transfers or destroy this object.
class CurlMulti : public QObject
{
    Q_OBJECT

public:
    using Finished = std::function<void(CURLcode)>;

    explicit CurlMulti(QObject* parent = nullptr);
    ~CurlMulti() override;

    CurlMulti(const CurlMulti&) = delete;
    CurlMulti& operator=(const CurlMulti&) = delete;

    // Starts the configured easy handle; finished is called once when it
    // ends, unless Remove() comes first. Returns false if curl refused it.
    bool Add(CURL* easy, Finished finished);

    // Takes the handle back, running or finished; its callback never runs
    // afterwards. The caller still owns and cleans up the handle.
    void Remove(CURL* easy);

private:
    struct SocketWatch
    {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };

    struct Transfer
    {
        Finished finished;
        quint64 serial = 0;
        bool attached = true;
    };

    static int OnSocket(CURL* easy, curl_socket_t socket, int what, void* self, void* socketData);
    static int OnTimer(CURLM* multi, long timeoutMs, void* self);

    void WatchSocket(curl_socket_t socket, int what);
    void ForgetSocket(curl_socket_t socket);
    void Act(curl_socket_t socket, int events);
    void Deliver(CURL* easy, quint64 serial, CURLcode result);

    CURLM* m_multi = nullptr;
    QTimer m_timer;
    QHash<curl_socket_t, SocketWatch> m_sockets;
    QHash<CURL*, Transfer> m_transfers;
    quint64 m_lastSerial = 0;
};
