#pragma once

#include "platform/Pending.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace tradevane {

class Transfer;
class TransferHub;

// What one fetch came to.
struct FetchResult
{
    bool ok = false;
    // The HTTP status (200 on success, 400 or above on a refusal), or the libcurl error number
    // when no status applies.
    int code = 0;
    // The reason text of the status line, or the readable description of the failure: one line
    // of at most kReadableLineMaxChars without control characters (readableLine).
    QString reason;
    // The document, decoded byte for byte (Latin-1, the program's single-byte code page); empty
    // when the fetch failed.
    QString body;
};

// The program's fetcher of documents by address, one at a time, on the transfer hub. fetch()
// returns at once; the result arrives later through `done`, from the event loop.
//
// Safety limits that a stalled or rogue server cannot get past:
// - connect time-out 10 s, whole transfer 30 s;
// - a body larger than 1 MiB is refused;
// - an HTTP status of 400 or above is a failure, its body is not returned;
// - at most kMaxRedirects redirects, only to http or https; https certificates are verified;
// - a second fetch while one runs is refused.
//
// A cancelled fetch reports nothing at all: it says nothing about the server.
class HttpFetcher
{
public:
    static constexpr int kDefaultConnectTimeoutMs = 10'000;
    static constexpr int kDefaultTransferTimeoutMs = 30'000;
    static constexpr qint64 kMaxBodyBytes = qint64 {1024} * 1024;
    static constexpr int kMaxRedirects = 5;

    // The failures the fetcher describes itself (the activity log shows them after the code).
    static inline const QString kResponseTooLargeText = u"Response refused: larger than 1048576 bytes"_qs;
    static inline const QString kHttpErrorNoReasonText = u"HTTP error"_qs;

    using Done = std::function<void(const FetchResult& result)>;

    explicit HttpFetcher(TransferHub& hub);
    ~HttpFetcher();
    HttpFetcher(const HttpFetcher&) = delete;
    HttpFetcher& operator=(const HttpFetcher&) = delete;

    // Starts fetching `url`; cancelling or destroying what it returns ends the fetch. Nothing when
    // refused (a fetch is running): `done` is then never called.
    [[nodiscard]] std::unique_ptr<Pending> fetch(const QString& url, Done done);

    // Ends the fetch in progress at once, reporting nothing. Without a fetch it does nothing.
    void cancel();

    bool busy() const { return m_fetch != nullptr; }

    int connectTimeoutMs() const { return m_connectTimeoutMs; }
    int transferTimeoutMs() const { return m_transferTimeoutMs; }
    // Shorter limits let tests of a stalled server end in a moment.
    void setTimeouts(int connectMs, int transferMs);
    // A certificate authority file to trust instead of the system's (a test server's own).
    void setCaFile(const QString& path) { m_caFile = path; }

private:
    struct Fetch;
    class FetchHandle;
    void finish(const FetchResult& result);

    TransferHub& m_hub;
    std::unique_ptr<Fetch> m_fetch;
    quint64 m_fetches = 0;
    int m_connectTimeoutMs = kDefaultConnectTimeoutMs;
    int m_transferTimeoutMs = kDefaultTransferTimeoutMs;
    QString m_caFile;
};

} // namespace tradevane
