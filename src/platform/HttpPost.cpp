#include "platform/HttpPost.h"

#include "platform/ReadableText.h"
#include "platform/SmtpClient.h"
#include "platform/TransferHub.h"
#include "platform/Version.h"

#include <QUrl>

#include <algorithm>

namespace tradevane {

namespace {

constexpr qsizetype kMaxAnswerBytes = qsizetype {64} * 1024; // an API's answer; the rest is not needed

struct SlistDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

size_t keepAnswer(char* data, size_t size, size_t count, void* user)
{
    auto* answer = static_cast<QByteArray*>(user);
    const size_t bytes = size * count;
    const qsizetype room = std::max<qsizetype>(0, kMaxAnswerBytes - answer->size());
    answer->append(data, std::min(room, static_cast<qsizetype>(bytes)));
    return bytes;
}

QByteArray oneLine(const QByteArray& text)
{
    QByteArray line = text;
    line.replace('\r', "").replace('\n', "");
    return line;
}

bool sameOrigin(const QUrl& a, const QUrl& b)
{
    const int defaultPort = a.scheme() == u"https"_qs ? 443 : 80;
    return a.scheme() == b.scheme() && a.host().compare(b.host(), Qt::CaseInsensitive) == 0
        && a.port(defaultPort) == b.port(defaultPort);
}

class PostJob final : public Pending
{
public:
    PostJob(TransferHub& hub, const HttpPostRequest& request, const HttpPostLimits& limits,
        std::function<void(const HttpPostResult&)> done)
        : m_hub(hub)
        , m_request(request)
        , m_limits(limits)
        , m_done(std::move(done))
    {
        m_body = m_request.body;
        m_caFile = limits.caFile.toLocal8Bit();
        m_userAgent = "Tradevane/" + QByteArray::number(kVersionMajor) + '.'
            + QByteArray::number(kVersionMinor) + '.' + QByteArray::number(kVersionRevision);
        curl_slist* list = nullptr;
        for (const auto& [name, value] : m_request.headers)
            list = curl_slist_append(list, QByteArray(oneLine(name) + ": " + oneLine(value)).constData());
        // Sends the body at once instead of asking the server first and waiting up to a second.
        list = curl_slist_append(list, "Expect:");
        m_headers.reset(list);
        m_origin = QUrl(m_request.url);
    }

    ~PostJob() override { m_done = nullptr; }

    void begin() { post(m_request.url.toUtf8()); }

    void cancel() override
    {
        if (m_transfer)
            m_transfer->cancel(); // reports through ended()
    }

private:
    void post(const QByteArray& url)
    {
        m_url = url;
        m_answer.clear();
        m_reason.clear();
        m_error[0] = '\0';
        // Without a handle the hub refuses the transfer and reports it from the event loop.
        CURL* easy = curl_easy_init();
        if (easy)
            setUp(easy);
        m_transfer = m_hub.start(easy, [this](const Transfer::Result& result) { ended(result); });
    }

    void setUp(CURL* easy)
    {
        curl_easy_setopt(easy, CURLOPT_URL, m_url.constData());
        curl_easy_setopt(easy, CURLOPT_USERAGENT, m_userAgent.constData());
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, m_body.constData());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_body.size()));
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, m_headers.get());
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, keepAnswer);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &m_answer);
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, keepStatusReason);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, &m_reason);
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_error);
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
        // Redirects are followed here, not by libcurl, so that each is checked first.
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_limits.connectTimeoutMs));
        // The limit is the whole exchange's, redirects included.
        const long left = std::max<long>(1, m_limits.timeoutMs - static_cast<long>(m_elapsedMs));
        curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, left);
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!m_caFile.isEmpty())
            curl_easy_setopt(easy, CURLOPT_CAINFO, m_caFile.constData());
    }

    void ended(const Transfer::Result& result)
    {
        if (result.cancelled) {
            finish({false, true, 0, {}, kSendingCancelled});
            return;
        }
        CURL* easy = m_transfer->easy();
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        curl_off_t tookUs = 0;
        curl_easy_getinfo(easy, CURLINFO_TOTAL_TIME_T, &tookUs);
        m_elapsedMs += tookUs / 1000;
        if (result.code != CURLE_OK) {
            const QString text = m_error[0] != '\0' ? QString::fromUtf8(m_error)
                                                    : QString::fromUtf8(curl_easy_strerror(result.code));
            finish({false, false, static_cast<int>(status), {}, text.trimmed()});
            return;
        }
        const QString statusText = QString::number(status)
            + (m_reason.isEmpty() ? QString() : u' ' + QString::fromLatin1(m_reason).trimmed());
        if (status >= 300 && status < 400) {
            char* location = nullptr;
            curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &location);
            redirect(statusText, location ? QByteArray(location) : QByteArray());
            return;
        }
        const bool ok = status >= 200 && status < 300;
        finish({ok, false, static_cast<int>(status), m_answer, ok ? QString() : statusText});
    }

    void redirect(const QString& statusText, const QByteArray& location)
    {
        if (location.isEmpty()) {
            finish({false, false, 0, {}, statusText + u" without a new address"_qs});
            return;
        }
        if (m_redirects >= m_limits.maxRedirects) {
            finish({false, false, 0, {},
                statusText + u": more than "_qs + QString::number(m_limits.maxRedirects) + u" redirects"_qs});
            return;
        }
        const QUrl target(QString::fromUtf8(location));
        if (!sameOrigin(m_origin, target)) {
            finish({false, false, 0, {},
                statusText + u": redirected to another server ("_qs + target.host() + u"), not followed"_qs});
            return;
        }
        ++m_redirects;
        post(location); // replaces the transfer that has just ended
    }

    void finish(HttpPostResult result)
    {
        result.error = readableLine(maskSecrets(result.error, m_request.secrets));
        // Runs once; `done` may destroy this job, so nothing of it is touched afterwards.
        if (auto done = std::exchange(m_done, nullptr))
            done(result);
    }

    TransferHub& m_hub;
    HttpPostRequest m_request;
    HttpPostLimits m_limits;
    std::function<void(const HttpPostResult&)> m_done;
    QUrl m_origin;
    QByteArray m_url;
    QByteArray m_body;
    QByteArray m_caFile;
    QByteArray m_userAgent;
    std::unique_ptr<curl_slist, SlistDeleter> m_headers;
    QByteArray m_answer;
    QByteArray m_reason;
    char m_error[CURL_ERROR_SIZE] = {};
    int m_redirects = 0;
    qint64 m_elapsedMs = 0;
    std::unique_ptr<Transfer> m_transfer; // last: it goes first, before what its callbacks use
};

} // namespace

std::unique_ptr<Pending> httpPost(TransferHub& hub, const HttpPostRequest& request,
    const HttpPostLimits& limits, std::function<void(const HttpPostResult&)> done)
{
    auto job = std::make_unique<PostJob>(hub, request, limits, std::move(done));
    job->begin();
    return job;
}

QStringList urlSecrets(const QString& url)
{
    constexpr qsizetype kShortestSecret = 4;
    const QUrl parsed(url);
    QStringList secrets {parsed.userName(QUrl::FullyDecoded), parsed.userName(QUrl::FullyEncoded),
        parsed.password(QUrl::FullyDecoded), parsed.password(QUrl::FullyEncoded)};
    const QString encodedPath = parsed.path(QUrl::FullyEncoded);
    for (const QString& segment : encodedPath.split(u'/', Qt::SkipEmptyParts))
        secrets << segment << QUrl::fromPercentEncoding(segment.toUtf8());
    const QString query = parsed.query(QUrl::FullyEncoded);
    for (const QString& item : query.split(u'&', Qt::SkipEmptyParts)) {
        const QString value = item.section(u'=', 1);
        secrets << value << QUrl::fromPercentEncoding(QString(value).replace(u'+', u' ').toUtf8());
    }
    secrets.removeIf([](const QString& secret) { return secret.size() < kShortestSecret; });
    secrets.removeDuplicates();
    return secrets;
}

QString maskSecrets(const QString& text, const QStringList& secrets)
{
    QString masked = text;
    // Longer secrets first, so that one holding another is masked whole.
    QStringList ordered;
    for (const QString& secret : secrets) {
        if (secret.isEmpty())
            continue;
        ordered << secret << QString::fromLatin1(QUrl::toPercentEncoding(secret));
    }
    std::sort(ordered.begin(), ordered.end(),
        [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& secret : ordered)
        masked.replace(secret, u"***"_qs, Qt::CaseInsensitive);
    return masked;
}

} // namespace tradevane
