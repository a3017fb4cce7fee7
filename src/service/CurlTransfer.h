#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <curl/curl.h>
#include <functional>

class CurlMulti;

// One HTTP/1.1 request on a libcurl easy handle, run by a CurlMulti. curl
// writes the request and reads the response (framing, chunks, TLS); the
// caller decides what is sent and sees the response head field by field.
// curl's own redirect following, proxy lookup in the environment and
// protocols other than HTTP and HTTPS stay off.
class CurlTransfer
{
public:
    struct Request
    {
        QByteArray url; // where to connect; credentials go in user and password
        QByteArray target; // the request line's target, sent as it stands
        QByteArrayList headers; // "Name: value"; "Name:" drops one of curl's own
        bool post = false;
        QByteArray body;
        QByteArray user; // Basic credentials, sent with the request when not empty
        QByteArray password;
        QByteArray caBundle; // empty: the system's certificate authorities
        QByteArray proxy; // empty: straight to the host
        bool reuseConnection = true;
        qint64 maxBodyBytes = 16 * 1024 * 1024;
        // Connecting for this long, or getting less than a byte a second for
        // as long, fails the transfer; 0 waits for ever.
        int stallSeconds = 0;
    };

    // Sees each field of the final response head in order, then once with an
    // empty name when the head is complete; returning false ends the transfer
    // there. Called from inside curl: it must only record.
    using HeadSink
        = std::function<bool(int nStatus, const QByteArray& name, const QByteArray& value)>;
    using Finished = std::function<void()>;

    CurlTransfer(CurlMulti& multi, Request request, HeadSink headSink, Finished finished);
    // A running transfer is stopped; finished is never called afterwards.
    ~CurlTransfer();

    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Returns false when the request could not even start; ErrorText() says
    // why and finished will not be called.
    bool Start();

    // After finished: CURLE_OK, or how the transfer failed or was stopped.
    CURLcode Result() const { return m_result; }
    QString ErrorText() const;
    int Status() const { return m_status; }
    QByteArray ReasonPhrase() const { return m_reason; }
    const QByteArray& Body() const { return m_body; }
    bool BodyTooLarge() const { return m_bodyTooLarge; }

private:
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    bool ReadHeadLine(QByteArray line);
    CURLcode Configure();

    CurlMulti& m_multi;
    const Request m_request; // curl keeps pointers into the body
    HeadSink m_headSink;
    Finished m_finished;
    CURL* m_easy = nullptr;
    curl_slist* m_headerList = nullptr;
    char m_errorBuffer[CURL_ERROR_SIZE] = {};
    CURLcode m_result = CURLE_OK;
    int m_status = 0;
    QByteArray m_reason;
    bool m_headDone = false;
    QByteArray m_body;
    bool m_bodyTooLarge = false;
};
