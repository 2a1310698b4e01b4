#include "platform/UpstreamFetch.h"

#include <curl/curl.h>

#include <mutex>

namespace tradevane {

namespace {

constexpr std::size_t kMaxBody = std::size_t {16} * 1024 * 1024;

std::size_t collect(char* data, std::size_t size, std::size_t count, void* target)
{
    auto* body = static_cast<std::string*>(target);
    const std::size_t bytes = size * count;
    if (body->size() + bytes > kMaxBody)
        return 0; // ends the transfer with an error
    body->append(data, bytes);
    return bytes;
}

// libcurl asks while the transfer runs, at least about once a second when nothing moves.
int abandonedYet(void* abandon, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool>*>(abandon)->load() ? 1 : 0; // non-zero ends it
}

} // namespace

UpstreamReply fetchUpstream(const std::string& url, int timeoutMs, const std::atomic<bool>* abandon)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    UpstreamReply reply;
    CURL* curl = curl_easy_init();
    if (!curl) {
        reply.error = "cannot start a transfer";
        return reply;
    }
    char errorText[CURL_ERROR_SIZE] = {};
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Accept: application/json, text/plain, */*");
    headers = curl_slist_append(headers, "Accept-Language: en-US,en;q=0.9");
    headers = curl_slist_append(headers, "Origin: https://www.nasdaq.com");
    headers = curl_slist_append(headers, "Referer: https://www.nasdaq.com/");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_USERAGENT,
        "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
        "Chrome/124.0.0.0 Safari/537.36");
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, ""); // every compression curl knows
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L); // several server threads fetch at once
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    if (abandon) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, abandonedYet);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, abandon);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    }
    const CURLcode rc = curl_easy_perform(curl);
    if (rc == CURLE_OK) {
        reply.transferred = true;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    } else {
        reply.error = rc == CURLE_ABORTED_BY_CALLBACK ? "abandoned"
            : errorText[0]                            ? errorText
                                                      : curl_easy_strerror(rc);
        reply.body.clear();
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return reply;
}

std::string describeTransfer(const UpstreamReply& reply)
{
    if (!reply.transferred)
        return "no answer: " + reply.error;
    return "HTTP " + std::to_string(reply.status);
}

} // namespace tradevane
