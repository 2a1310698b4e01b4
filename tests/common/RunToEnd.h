#pragma once

#include "engine/marketdata/ConnectionCheck.h"
#include "platform/SmtpClient.h"

#include <QString>

#include <optional>

class InetControl;
class TransferHub;

// Blocking forms of the program's transfers for tests: each runs the event loop (a nested one,
// as only tests do) until its transfer ends.

// The body, or nothing when the fetch failed, was refused or was cancelled meanwhile.
std::optional<QString> RunToEnd(InetControl& control, const QString& url);
SmtpResult RunToEnd(SmtpControl& control);
ConnectionState RunToEnd(TransferHub& hub, const QString& quoteServer);
