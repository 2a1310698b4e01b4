#pragma once

#include "engine/model/StockState.h"
#include "platform/Pending.h"

#include <QString>

#include <functional>
#include <memory>

namespace tradevane {

class PriceSource;
struct FetchResult;

// The current (delayed) quote of one stock: one comma-separated line from the quote server,
// split into the nine fields of the stock's quote. The engine always calls the pair DownloadQuote,
// then ParseQuote when the download ends.

// `symbol` as it goes into a request: letters, digits and ".-_~^" as they are, every other
// character percent-encoded (UTF-8), so that a symbol such as "BRK B" or "A&B" cannot change the
// request.
QString symbolForRequest(const QString& symbol);

// The request for `symbol` (lower-cased) on the quote server at `server`.
QString quoteRequest(const QString& server, const QString& symbol);

// Fetches the quote line of `symbol` from `source`; `done` gets the body, or an empty text when the
// fetch failed (TransferFailed has then logged why). A cancelled fetch reports nothing.
[[nodiscard]] std::unique_ptr<Pending> downloadQuote(const StockContext& stock, PriceSource& source,
    const QString& symbol, std::function<void(const QString&)> done);

// A fetch of this stock's quote or history failed: the stock is out of the rest of the quote set,
// and the failure's code and reason are logged.
void transferFailed(const StockContext& stock, const FetchResult& result);

// Splits a quote line into the nine fields of `quote`, in the server's column order: line ends
// count as commas, double quotes are dropped. False when the line has fewer than nine fields; the
// fields before the missing one are stored all the same.
bool splitQuoteLine(const QString& quoteText, Quote& quote);

// Splits `QuoteText` into the stock's quote; on an empty text or fewer than nine fields the stock is
// marked failed and "Quote Download Error-Stock #:" is logged.
void parseQuote(StockContext& stock, const QString& quoteText);

} // namespace tradevane
