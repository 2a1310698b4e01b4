#include "platform/InetControl.h"

#include "core/LogTexts.h"
#include "core/Version.h"
#include "platform/CurlDriver.h"
#include "platform/ProgramEnd.h"

#include <mutex>

namespace {

// What one transfer collects while libcurl runs it.
struct Transfer
{
    QByteArray body;
    bool tooLarge = false;
    QByteArray reason; // reason text of the last status line (the final one after redirects)
    char error[CURL_ERROR_SIZE] = {};
};

size_t writeBody(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (transfer->body.size() + static_cast<qint64>(bytes) > InetControl::kMaxBodyBytes) {
        transfer->tooLarge = true;
        return 0; // anything but `bytes` ends the transfer with CURLE_WRITE_ERROR
    }
    transfer->body.append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

size_t readHeader(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(bytes)).trimmed();
    // "HTTP/1.1 404 Not Found": the reason follows the second space; HTTP/2 sends none.
    if (line.startsWith("HTTP/")) {
        const qsizetype codeStart = line.indexOf(' ');
        const qsizetype reasonStart = codeStart < 0 ? -1 : line.indexOf(' ', codeStart + 1);
        transfer->reason = reasonStart < 0 ? QByteArray() : line.mid(reasonStart + 1);
    }
    return bytes;
}

QString curlText(const Transfer& transfer, CURLcode code)
{
    if (transfer.error[0] != '\0')
        return QString::fromUtf8(transfer.error);
    return QString::fromUtf8(curl_easy_strerror(code));
}

} // namespace

InetControl::InetControl(QObject* parent)
    : QObject(parent)
{
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    m_multi = curl_multi_init();
}

InetControl::~InetControl()
{
    curl_multi_cleanup(static_cast<CURLM*>(m_multi));
}

void InetControl::setTimeouts(int connectMs, int transferMs)
{
    m_connectTimeoutMs = connectMs;
    m_transferTimeoutMs = transferMs;
}

void InetControl::Cancel()
{
    if (m_busy)
        m_cancel = true;
}

void InetControl::fail(int code, const QString& info)
{
    ResponseCode = code;
    ResponseInfo = info;
    emit StateChanged(icError);
}

std::optional<QString> InetControl::OpenURL(const QString& url)
{
    // A transfer started from an event handler while this one runs would reuse the multi handle
    // under the running transfer's feet. A program that is ending starts no transfer: the rest
    // of a quote set after the main window closed passes at once.
    if (m_busy || ProgramEnding())
        return std::nullopt;

    ResponseCode = 0;
    ResponseInfo.clear();
    auto* multi = static_cast<CURLM*>(m_multi);
    CURL* easy = multi ? curl_easy_init() : nullptr;
    if (!easy) {
        fail(CURLE_FAILED_INIT, QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT)));
        return std::nullopt;
    }

    m_busy = true;
    m_cancel = false;
    Transfer transfer;
    const QByteArray address = url.toUtf8();
    const QByteArray caFile = m_caFile.toLocal8Bit();
    const QByteArray userAgent = "Tradevane/" + QByteArray::number(kVersionMajor) + '.'
        + QByteArray::number(kVersionMinor) + '.' + QByteArray::number(kVersionRevision);
    curl_easy_setopt(easy, CURLOPT_URL, address.constData());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent.constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, readHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.error);
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
    if (!caFile.isEmpty())
        curl_easy_setopt(easy, CURLOPT_CAINFO, caFile.constData());

    emit StateChanged(icConnecting);
    const CurlRun run = DriveTransfer(multi, easy, &m_cancel, kPollMs);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(easy);
    m_busy = false;
    m_cancel = false;

    if (run.cancelled) {
        ResponseCode = CURLE_ABORTED_BY_CALLBACK;
        ResponseInfo = QString::fromUtf8(curl_easy_strerror(CURLE_ABORTED_BY_CALLBACK));
        return std::nullopt;
    }
    if (!run.finished) {
        fail(CURLE_FAILED_INIT, QString::fromUtf8(curl_multi_strerror(run.multiResult)));
        return std::nullopt;
    }
    if (transfer.tooLarge || run.result == CURLE_FILESIZE_EXCEEDED) {
        fail(CURLE_FILESIZE_EXCEEDED, LogText::ResponseTooLarge);
        return std::nullopt;
    }
    if (run.result != CURLE_OK) {
        fail(run.result, curlText(transfer, run.result));
        return std::nullopt;
    }
    if (status >= 400) {
        const QString reason = QString::fromLatin1(transfer.reason);
        fail(static_cast<int>(status), reason.isEmpty() ? LogText::HttpErrorNoReason : reason);
        return std::nullopt;
    }
    ResponseCode = static_cast<int>(status);
    ResponseInfo = QString::fromLatin1(transfer.reason);
    emit StateChanged(icResponseCompleted);
    return QString::fromLatin1(transfer.body);
}
