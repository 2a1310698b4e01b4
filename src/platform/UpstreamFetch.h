#pragma once

#include <atomic>
#include <string>

namespace tradevane {

// One GET to an outside web service.
struct UpstreamReply
{
    bool transferred = false; // false: no HTTP answer at all (see error)
    long status = 0;
    std::string body;
    std::string error;
};

// Fetches `url` the way a browser's page script would (a browser's User-Agent and Accept
// headers, compressed transfer), giving up after `timeoutMs`, or within about a second once
// `*abandon` turns true (the reply's error then says "abandoned"). Safe to call from several
// threads.
UpstreamReply fetchUpstream(
    const std::string& url, int timeoutMs, const std::atomic<bool>* abandon = nullptr);

// The same as text for a log line: "HTTP 403", "no answer: Connection refused".
std::string describeTransfer(const UpstreamReply& reply);

} // namespace tradevane
