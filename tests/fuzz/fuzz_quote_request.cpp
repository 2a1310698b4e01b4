// The quote service's two requests: a request target as a client sends it, split and decoded by
// the HTTP library as the server does, routed like the server's handlers and read by
// ReadQuoteRequest or ReadHistoryRequest; what they accept is then answered from a simulated market.
#include "FuzzSupport.h"

#include "QuoteService.h"
#include "engine/marketdata/sources/SimulatedMarket.h"
#include "engine/marketdata/sources/SourceFormats.h"

#include <httplib.h>

#include <algorithm>
#include <regex>

using namespace tradevane::market;

namespace {

const QDateTime kNow(QDate(2026, 3, 11), QTime(11, 30));

struct Target
{
    std::string path;
    RequestParams params;
    bool understood = true;
};

// The server's reading of a request target: the path before '?', decoded, and the query keys.
Target Split(const std::string& target)
{
    Target t;
    std::size_t count = 0;
    httplib::detail::split(
        target.data(), target.data() + target.size(), '?', [&](const char* b, const char* e) {
            if (count == 0)
                t.path = httplib::detail::decode_url(std::string(b, e), false);
            else if (count == 1 && e > b)
                httplib::detail::parse_query_text(std::string(b, e), t.params);
            ++count;
        });
    t.understood = count <= 2;
    return t;
}

bool UpperCaseSymbol(const std::string& symbol)
{
    return isPlausibleSymbol(symbol) && toUpper(symbol) == symbol;
}

void CheckQuoteRequest(const RequestParams& params, SimulatedMarket& market)
{
    const QuoteRequest request = readQuoteRequest(params);
    if (!request.problem.empty()) {
        FUZZ_CHECK(request.problem.starts_with("empty: "));
        FUZZ_CHECK(request.symbols.empty());
        return;
    }
    FUZZ_CHECK(!request.symbols.empty() && request.symbols.size() <= 20);
    for (const std::string& symbol : request.symbols)
        FUZZ_CHECK(UpperCaseSymbol(symbol));
    const Answer<QuoteFields> answer = market.quote(request.symbols.front(), kNow);
    FUZZ_CHECK(answer.ok);
    const std::string line = quoteLine(answer.data);
    FUZZ_CHECK(std::count(line.begin(), line.end(), ',') == 8);
    FUZZ_CHECK(line.ends_with("\r\n"));
}

void CheckHistoryRequest(const RequestParams& params, SimulatedMarket& market)
{
    const HistoryRequest request = readHistoryRequest(params, kNow.date());
    if (!request.problem.empty()) {
        FUZZ_CHECK(request.problem.starts_with("empty: "));
        FUZZ_CHECK(request.symbol.empty());
        return;
    }
    FUZZ_CHECK(UpperCaseSymbol(request.symbol));
    FUZZ_CHECK(request.from.isValid() && request.to.isValid() && request.from <= request.to);
    FUZZ_CHECK(request.from.year() >= 1900 && request.to.year() <= 2200);
    const Answer<std::vector<MarketBar>> answer
        = market.history(request.symbol, request.from, request.to, 5, kNow);
    FUZZ_CHECK(answer.ok && answer.data.size() <= 5);
    for (const MarketBar& bar : answer.data)
        FUZZ_CHECK(bar.date >= request.from && bar.date <= request.to && bar.date < kNow.date());
    const std::string text = historyText(answer.data, market.label(), 282);
    FUZZ_CHECK(
        static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) == answer.data.size() + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static SimulatedMarket market(1);
    // The server's routes: patterns matched against the whole decoded path.
    static const std::regex quotes("/download/quotes.csv");
    static const std::regex table("/table.csv");

    const Target target = Split(fuzz::Text(data, size));
    if (!target.understood)
        return 0; // the server answers 400 itself
    if (std::regex_match(target.path, quotes))
        CheckQuoteRequest(target.params, market);
    else if (std::regex_match(target.path, table))
        CheckHistoryRequest(target.params, market);
    else {
        // Any other path is the server's 404; both readers still get its keys, to try them
        // with every key a client may send.
        CheckQuoteRequest(target.params, market);
        CheckHistoryRequest(target.params, market);
    }
    return 0;
}
