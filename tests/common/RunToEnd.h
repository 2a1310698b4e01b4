#pragma once

#include "engine/marketdata/ConnectionCheck.h"
#include "platform/SmtpClient.h"

#include <QString>

#include <optional>

using namespace tradevane;

namespace tradevane {
class HttpFetcher;
struct FetchResult;
class TransferHub;
} // namespace tradevane

// Blocking forms of the program's transfers for tests: each runs the event loop (a nested one,
// as only tests do) until its transfer ends.

// What the fetch came to, or nothing when it was refused or cancelled meanwhile.
std::optional<FetchResult> runToEnd(HttpFetcher& fetcher, const QString& url);
SmtpResult runToEnd(SmtpClient& client, const MailMessage& message, const MailAccount& account);
ConnectionState runToEnd(TransferHub& hub, const QString& quoteServer);
