#pragma once

#include "platform/Pending.h"

#include <QString>

#include <functional>
#include <memory>

namespace tradevane {

class TransferHub;

// Whether the machine is online, asked once per press of Start. Online means that the configured
// quote server accepts a TCP connection within kConnectTimeoutMs; nothing is sent to it.

// Flags reported by GetConnectionState, combined with |:
constexpr qint32 kConnectionReached = 0x01; // the quote server accepted a connection
constexpr qint32 kConnectionLoopback = 0x02; // it answered from this machine (a loopback address)
constexpr qint32 kConnectionSecure = 0x04; // its address is https (the check itself is TCP only)
constexpr qint32 kConnectionOffline = 0x20; // no connection within the time-out, or no usable address

constexpr int kConnectTimeoutMs = 3000;

struct ConnectionState
{
    bool connected = false; // the quote server accepted a connection
    qint32 flags = kConnectionOffline;
    QString connectionName; // the host that answered; empty when none did
};

// Starts the check of `quoteServer` (the base address from servers.ini); `done` hears the answer
// from the event loop. Cancelling it reports no connection.
[[nodiscard]] std::unique_ptr<Pending> getConnectionState(
    TransferHub& hub, const QString& quoteServer, std::function<void(const ConnectionState&)> done);

} // namespace tradevane
