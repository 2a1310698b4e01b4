#pragma once

#include "engine/marketdata/sources/MarketSource.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tradevane::market {

class GuardedServer;

using LogSink = std::function<void(const std::string& line)>;
// Writes each line to standard output at once (the service's log).
LogSink stdoutLog();

struct ServiceOptions
{
    // The program's history holds at most 283 rows of six values, the heading line included, and
    // it rejects a longer answer as corrupt; a year of trading days (about 261) fits. 0 serves every
    // bar of the requested range.
    int maxRows = 282;
    // Words for the service's own page ("simulated market, seed 1").
    std::string description;
};

// The two requests the program makes, answered from a source:
//   /download/quotes.csv?format=sl&ext=.csv&symbols=abc    one quote line
//   /table.csv?s=abc&a=..&b=..&c=..&d=..&e=..&f=..&g=d&Ignore=.csv    daily history
// A symbol the source does not have, or a source failure, gets an empty body (which the program
// reads as "bad symbol or server down"); a malformed request gets 400 with an empty body. Every
// request leaves one line in the log with its outcome, and so does every request or connection
// the server refuses before a handler sees it (see GuardedServer).
// The query keys of a request, decoded, as the HTTP server hands them over.
using RequestParams = std::multimap<std::string, std::string>;

// What a quote request asks for: its symbols (upper case, 1 to 20 plausible tickers, from
// symbols= separated by commas, spaces or plus signs), or, when the request is not understood,
// the outcome for the log ("empty: ...") and no symbols.
struct QuoteRequest
{
    std::vector<std::string> symbols;
    std::string problem;
};
QuoteRequest readQuoteRequest(const RequestParams& params);

// What a history request asks for: the symbol (upper case) from s=, and the range from a=month,
// b=day, c=year to d=month, e=day, f=year, or the year up to `today` when none of a..f is given.
// Only daily history (g=d or no g) is served. When the request is not understood, `problem` holds
// the outcome for the log ("empty: ...").
struct HistoryRequest
{
    std::string symbol;
    QDate from;
    QDate to;
    std::string problem;
};
HistoryRequest readHistoryRequest(const RequestParams& params, QDate today);

class QuoteService
{
public:
    QuoteService(Source& source, ServiceClock clock, LogSink log, ServiceOptions options = {});

    void install(GuardedServer& server);

private:
    struct Reply
    {
        int status = 200;
        std::string body;
        std::string outcome;
    };
    Reply answerQuotes(const RequestParams& params);
    Reply answerHistory(const RequestParams& params);
    void logRequest(const std::string& address, const std::string& method, const std::string& target,
        int status, const std::string& outcome);

    Source& m_source;
    ServiceClock m_clock;
    LogSink m_log;
    ServiceOptions m_options;
};

} // namespace tradevane::market
