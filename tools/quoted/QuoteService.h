#pragma once

#include "MarketData.h"

#include <functional>
#include <string>

namespace httplib {
class Server;
}

namespace quoted {

using LogSink = std::function<void(const std::string& line)>;
// Writes each line to standard output at once (the service's log).
LogSink StdoutLog();

struct ServiceOptions
{
    // Tradevane's history array holds 283 rows of six values, the heading line included, and it
    // rejects a longer answer as corrupt; a year of trading days (about 261) fits. 0 serves every
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
// request leaves one line in the log with its outcome.
class QuoteService
{
public:
    QuoteService(Source& source, ServiceClock clock, LogSink log, ServiceOptions options = {});

    void install(httplib::Server& server);

private:
    struct Reply
    {
        int status = 200;
        std::string body;
        std::string outcome;
    };
    Reply answerQuotes(const std::multimap<std::string, std::string>& params);
    Reply answerHistory(const std::multimap<std::string, std::string>& params);

    Source& m_source;
    ServiceClock m_clock;
    LogSink m_log;
    ServiceOptions m_options;
};

} // namespace quoted
