#include "platform/HttpFetch.h"

#include "platform/ReadableText.h"
#include "platform/TransferHub.h"
#include "platform/Version.h"

namespace tradevane {

namespace {

struct Body
{
    QByteArray bytes;
    bool tooLarge = false;
};

} // namespace

// One fetch: what libcurl's callbacks fill while the transfer runs, and who waits for it.
struct HttpFetcher::Fetch
{
    quint64 serial = 0; // which fetch of the control this is
    QByteArray url;
    QByteArray userAgent;
    QByteArray caFile;
    Body body;
    QByteArray reason; // reason text of the last status line (the final one after redirects)
    char error[CURL_ERROR_SIZE] = {};
    Done done;
    std::unique_ptr<Transfer> transfer; // last: it goes first, before what its callbacks use
};

namespace {

size_t writeBody(char* data, size_t size, size_t count, void* user)
{
    auto* body = static_cast<Body*>(user);
    const size_t bytes = size * count;
    if (body->bytes.size() + static_cast<qint64>(bytes) > HttpFetcher::kMaxBodyBytes) {
        body->tooLarge = true;
        return 0; // anything but `bytes` ends the transfer with CURLE_WRITE_ERROR
    }
    body->bytes.append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

} // namespace

HttpFetcher::HttpFetcher(TransferHub& hub)
    : m_hub(hub)
{ }

HttpFetcher::~HttpFetcher() = default;

void HttpFetcher::setTimeouts(int connectMs, int transferMs)
{
    m_connectTimeoutMs = connectMs;
    m_transferTimeoutMs = transferMs;
}

// What fetch() hands out: ends its own fetch, and only that one.
class HttpFetcher::FetchHandle final : public Pending
{
public:
    FetchHandle(HttpFetcher& control, quint64 serial)
        : m_control(control)
        , m_serial(serial)
    { }
    ~FetchHandle() override { cancel(); }
    void cancel() override
    {
        if (m_control.m_fetch && m_control.m_fetch->serial == m_serial)
            m_control.cancel();
    }

private:
    HttpFetcher& m_control;
    quint64 m_serial; // a later fetch may live where this one did: its number tells them apart
};

void HttpFetcher::cancel()
{
    if (m_fetch) {
        m_fetch->done = nullptr;
        m_fetch->transfer->cancel();
    }
}

std::unique_ptr<Pending> HttpFetcher::fetch(const QString& url, Done done)
{
    CURL* easy = m_fetch ? nullptr : curl_easy_init();
    if (!easy)
        return nullptr;

    m_fetch = std::make_unique<Fetch>();
    Fetch& f = *m_fetch;
    f.serial = ++m_fetches;
    f.done = std::move(done);
    f.url = url.toUtf8();
    f.caFile = m_caFile.toLocal8Bit();
    f.userAgent = "Tradevane/" + QByteArray::number(kVersionMajor) + '.' + QByteArray::number(kVersionMinor)
        + '.' + QByteArray::number(kVersionRevision);
    curl_easy_setopt(easy, CURLOPT_URL, f.url.constData());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, f.userAgent.constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &f.body);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, keepStatusReason);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &f.reason);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, f.error);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_connectTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(m_transferTimeoutMs));
    // Refuses an announced oversize body before it arrives; writeBody catches an unannounced one.
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBodyBytes));
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!f.caFile.isEmpty())
        curl_easy_setopt(easy, CURLOPT_CAINFO, f.caFile.constData());

    auto handle = std::make_unique<FetchHandle>(*this, f.serial);
    f.transfer = m_hub.start(easy, [this](const Transfer::Result& result) {
        Fetch& fetch = *m_fetch;
        if (result.cancelled) {
            m_fetch.reset(); // nobody hears of it
            return;
        }
        long status = 0;
        curl_easy_getinfo(fetch.transfer->easy(), CURLINFO_RESPONSE_CODE, &status);
        if (fetch.body.tooLarge || result.code == CURLE_FILESIZE_EXCEEDED) {
            finish({false, CURLE_FILESIZE_EXCEEDED, kResponseTooLargeText, {}});
        } else if (result.code != CURLE_OK) {
            const QString text = fetch.error[0] != '\0' ? QString::fromUtf8(fetch.error)
                                                        : QString::fromUtf8(curl_easy_strerror(result.code));
            finish({false, static_cast<int>(result.code), readableLine(text), {}});
        } else if (status >= 400) {
            const QString reason = readableLine(QString::fromLatin1(fetch.reason));
            finish({false, static_cast<int>(status), reason.isEmpty() ? kHttpErrorNoReasonText : reason, {}});
        } else {
            finish({true, static_cast<int>(status), readableLine(QString::fromLatin1(fetch.reason)),
                QString::fromLatin1(fetch.body.bytes)});
        }
    });
    return handle;
}

void HttpFetcher::finish(const FetchResult& result)
{
    // The fetcher is free again before anyone hears of the end, so `done` may fetch the next.
    const std::unique_ptr<Fetch> fetch = std::move(m_fetch);
    if (fetch->done)
        fetch->done(result);
}

} // namespace tradevane
