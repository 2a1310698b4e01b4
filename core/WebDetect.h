#pragma once

#include <QString>

// Whether the machine is online, asked once per press of Start. Online means that the configured
// quote server accepts a TCP connection within kConnectTimeoutMs; nothing is sent to it.

// Flags reported by GetConnectionState, combined with |:
constexpr qint32 kConnectionReached = 0x01; // the quote server accepted a connection
constexpr qint32 kConnectionLoopback = 0x02; // it answered from this machine (a loopback address)
constexpr qint32 kConnectionSecure = 0x04; // its address is https (the check itself is TCP only)
constexpr qint32 kConnectionOffline = 0x20; // no connection within the time-out, or no usable address

constexpr int kConnectTimeoutMs = 3000;

// True when the quote server accepted a connection. `Flags` receives the flags above;
// `ConnectionName` receives the host that answered and is left as it was when none did.
// The windows stay responsive while it waits.
bool GetConnectionState(qint32& Flags, QString& ConnectionName);

bool IsConnected();
