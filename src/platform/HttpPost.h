#pragma once

#include "platform/Pending.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace tradevane {

class TransferHub;

// One HTTP POST on the transfer hub: the alert messages to the phone channels go this way.
struct HttpPostRequest
{
    QString url;
    QList<QPair<QByteArray, QByteArray>> headers; // name, value; CR and LF are removed
    QByteArray body;
    // Texts that must never appear in what is reported (tokens, secret parts of addresses): they
    // are masked in every error text, raw and percent-encoded.
    QStringList secrets;
};

// What a stalled, far-away or rogue server cannot get past.
struct HttpPostLimits
{
    int connectTimeoutMs = 10'000;
    int timeoutMs = 30'000; // the whole exchange
    // Redirects followed, each to the same scheme, host and port only: a token in a header or
    // in the address never travels to another server.
    int maxRedirects = 3;
    QString caFile; // certificate authorities to trust instead of the system's (a test server's)
};

struct HttpPostResult
{
    bool ok = false; // the server answered with a 2xx status
    bool cancelled = false;
    int status = 0; // the final HTTP status; 0 when none came
    QByteArray body; // the answer's first 64 KiB
    // Why it failed: "500 Internal Server Error", the network library's text, ... as one clean
    // line (readableLine), secrets masked.
    QString error;
};

// Starts the POST; `done` hears from the event loop how it ended. Cancelling what it returns ends
// the transfer at once and reports it cancelled ("sending cancelled"); destroying it ends it
// silently. Certificates are verified; only http and https are spoken.
[[nodiscard]] std::unique_ptr<Pending> httpPost(TransferHub& hub, const HttpPostRequest& request,
    const HttpPostLimits& limits, std::function<void(const HttpPostResult&)> done);

// `text` with every secret (and its percent-encoded form) replaced by "***", ignoring case.
QString maskSecrets(const QString& text, const QStringList& secrets);

// What of an address may be a secret, to be masked wherever the address or a server's echo of it
// is reported: the user name and password, each path segment and each query value, both decoded
// and as written in the address. Segments and values shorter than four characters ("api", "v1")
// are no secrets and stay readable.
QStringList urlSecrets(const QString& url);

} // namespace tradevane
