#include "CurlTransfer.h"

#include "CurlMulti.h"

#include <utility>

CurlTransfer::CurlTransfer(CurlMulti& multi, Request request, HeadSink headSink, Finished finished)
    : m_multi(multi)
    , m_request(std::move(request))
    , m_headSink(std::move(headSink))
    , m_finished(std::move(finished))
{
}

CurlTransfer::~CurlTransfer()
{
    if (m_easy) {
        m_multi.Remove(m_easy);
        curl_easy_cleanup(m_easy);
    }
    curl_slist_free_all(m_headerList);
}

bool CurlTransfer::Start()
{
    if (m_easy)
        return false;
    m_easy = curl_easy_init();
    m_result = m_easy ? Configure() : CURLE_FAILED_INIT;
    if (m_result != CURLE_OK)
        return false;
    const bool added = m_multi.Add(m_easy, [this](CURLcode result) {
        m_result = result;
        if (m_finished)
            m_finished();
    });
    if (!added)
        m_result = CURLE_FAILED_INIT;
    return added;
}

QString CurlTransfer::ErrorText() const
{
    if (m_errorBuffer[0] != '\0')
        return QString::fromUtf8(m_errorBuffer).trimmed();
    return QString::fromUtf8(curl_easy_strerror(m_result));
}

CURLcode CurlTransfer::Configure()
{
    CURLcode code = CURLE_OK;
    const auto set = [&code, this](CURLoption option, auto value) {
        if (code == CURLE_OK)
            code = curl_easy_setopt(m_easy, option, value);
    };
    set(CURLOPT_ERRORBUFFER, m_errorBuffer);
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_URL, m_request.url.constData());
    set(CURLOPT_REQUEST_TARGET, m_request.target.constData());
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    set(CURLOPT_FOLLOWLOCATION, 0L);
    // An empty proxy means none, whatever http_proxy and friends say.
    set(CURLOPT_PROXY, m_request.proxy.constData());
    set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    set(CURLOPT_FORBID_REUSE, m_request.reuseConnection ? 0L : 1L);
    set(CURLOPT_SSL_VERIFYPEER, 1L);
    set(CURLOPT_SSL_VERIFYHOST, 2L);
    if (m_request.stallSeconds > 0) {
        set(CURLOPT_CONNECTTIMEOUT, long(m_request.stallSeconds));
        set(CURLOPT_LOW_SPEED_LIMIT, 1L);
        set(CURLOPT_LOW_SPEED_TIME, long(m_request.stallSeconds));
    }
    if (!m_request.caBundle.isEmpty())
        set(CURLOPT_CAINFO, m_request.caBundle.constData());
    if (!m_request.user.isEmpty()) {
        set(CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC));
        set(CURLOPT_USERNAME, m_request.user.constData());
        set(CURLOPT_PASSWORD, m_request.password.constData());
    }
    if (m_request.post) {
        set(CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(m_request.body.size()));
        set(CURLOPT_POSTFIELDS, m_request.body.constData());
    } else {
        set(CURLOPT_HTTPGET, 1L);
    }
    for (const QByteArray& header : m_request.headers) {
        curl_slist* list = curl_slist_append(m_headerList, header.constData());
        if (!list)
            return CURLE_OUT_OF_MEMORY;
        m_headerList = list;
    }
    set(CURLOPT_HTTPHEADER, m_headerList);
    set(CURLOPT_HEADERFUNCTION, &CurlTransfer::OnHeader);
    set(CURLOPT_HEADERDATA, this);
    set(CURLOPT_WRITEFUNCTION, &CurlTransfer::OnBody);
    set(CURLOPT_WRITEDATA, this);
    return code;
}

size_t CurlTransfer::OnHeader(char* data, size_t size, size_t count, void* self)
{
    const size_t length = size * count;
    const bool goOn
        = static_cast<CurlTransfer*>(self)->ReadHeadLine(QByteArray(data, qsizetype(length)));
    return goOn ? length : 0;
}

size_t CurlTransfer::OnBody(char* data, size_t size, size_t count, void* self)
{
    auto* transfer = static_cast<CurlTransfer*>(self);
    const size_t length = size * count;
    if (transfer->m_body.size() + qint64(length) > transfer->m_request.maxBodyBytes) {
        transfer->m_bodyTooLarge = true;
        return 0;
    }
    transfer->m_body.append(data, qsizetype(length));
    return length;
}

bool CurlTransfer::ReadHeadLine(QByteArray line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (line.startsWith("HTTP/")) {
        const qsizetype first = line.indexOf(' ');
        const qsizetype second = first < 0 ? -1 : line.indexOf(' ', first + 1);
        m_status
            = first < 0 ? 0 : line.mid(first + 1, second < 0 ? -1 : second - first - 1).toInt();
        m_reason = second < 0 ? QByteArray() : line.mid(second + 1).trimmed();
        m_headDone = false;
        return true;
    }
    // Interim heads (100 Continue, 103 Early Hints) and trailers after the
    // body are none of the caller's business.
    if (m_headDone || (m_status >= 100 && m_status < 200))
        return true;
    if (line.isEmpty()) {
        m_headDone = true;
        return !m_headSink || m_headSink(m_status, QByteArray(), QByteArray());
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || line.startsWith(' ') || line.startsWith('\t'))
        return true;
    return !m_headSink
        || m_headSink(m_status, line.left(colon).trimmed(), line.mid(colon + 1).trimmed());
}
