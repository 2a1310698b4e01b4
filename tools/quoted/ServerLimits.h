#pragma once

#include <chrono>
#include <cstddef>

namespace tradevane::market {

// What one client, and all clients together, may take of the service.
struct ServerLimits
{
    // A new connection has this long to send its whole request line and headers; on a kept-alive
    // connection the time runs from the first byte of the next request. A head that comes later
    // is answered 408 and its connection closed.
    std::chrono::milliseconds headTimeout {5000};
    // The request line and headers together, and the header lines among them (431 beyond; 414
    // when the request line alone is too long).
    std::size_t maxHeadBytes = 8 * 1024;
    int maxHeaderLines = 64;
    // Open connections from one address (an IPv6 /64 counts as one address) and in all; further
    // connections are answered 503 and closed at once. The total is lowered to what the process's
    // open-file limit leaves.
    int maxConnectionsPerAddress = 32;
    int maxConnections = 4096;
    // Threads that answer requests. They only ever see complete heads, so slow or idle clients
    // do not hold them.
    int workers = 16;
    // How long a worker that has just answered waits for the next request of a quick client
    // before it hands the connection back to the waiting room.
    std::chrono::milliseconds followUpWait {5};
};

} // namespace tradevane::market
