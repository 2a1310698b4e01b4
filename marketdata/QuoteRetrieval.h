#pragma once

#include <QString>

// The current (delayed) quote of one stock: one comma-separated line from the quote server,
// split into the nine fields of gQuotes(StockID). The cycle always calls the pair
// DownloadQuote, ParseQuote.
namespace QuoteRetrieval {
// The body of the last quote response; empty when the fetch failed.
extern QString QuoteText;
} // namespace QuoteRetrieval

// Lower-cases `symbol` in the caller's variable and fetches its quote line into QuoteText.
// Errors of the transfer are reported by the transfer control's state-change handler; QuoteText
// stays empty then, so that ParseQuote takes its error path.
void DownloadQuote(QString& symbol);

// Splits QuoteText into the nine fields of gQuotes(StockID); on an empty text or fewer than nine
// fields the stock is marked failed and "Quote Download Error-Stock #:" is logged.
void ParseQuote();

// `symbol` as it goes into a request: letters, digits and ".-_~^" as they are, every other
// character percent-encoded (UTF-8), so that a symbol such as "BRK B" or "A&B" cannot change the
// request.
QString SymbolForRequest(const QString& symbol);
