#include "QuoteService.h"

#include "GuardedServer.h"
#include "engine/marketdata/sources/SourceFormats.h"

#include <cstdio>
#include <mutex>

namespace tradevane::market {

namespace {

using Params = RequestParams;

// The outcome the handler decided on, picked up by the request logger, which runs right after
// the handler on the same thread.
thread_local std::string tOutcome;

std::optional<std::string> param(const Params& params, const char* key)
{
    const auto it = params.find(key);
    if (it == params.end())
        return std::nullopt;
    return it->second;
}

std::optional<int> wholeNumber(const std::optional<std::string>& text)
{
    if (!text || text->empty() || text->size() > 6)
        return std::nullopt;
    int value = 0;
    for (char c : *text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Month (January = 1), day and year keys of one end of the range.
QDate rangeDate(const Params& params, const char* monthKey, const char* dayKey, const char* yearKey)
{
    const auto month = wholeNumber(param(params, monthKey));
    const auto day = wholeNumber(param(params, dayKey));
    const auto year = wholeNumber(param(params, yearKey));
    if (!month || !day || !year || *year < 1900 || *year > 2200)
        return {};
    return QDate(*year, *month, *day); // invalid for month 13 or 31 February
}

std::vector<std::string> splitSymbols(const std::string& text)
{
    std::vector<std::string> symbols;
    std::string current;
    for (char c : text + ",") {
        if (c == ',' || c == ' ' || c == '+') {
            if (!current.empty())
                symbols.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    return symbols;
}

// The request's own words in a log line: a control character, a backslash or a byte beyond ASCII
// becomes \xHH, so that a request cannot start a line of its own or drive the terminal, and the
// text is cut after `most` bytes.
std::string loggable(const std::string& text, std::size_t most)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    std::size_t taken = 0;
    for (; taken < text.size(); ++taken) {
        const auto c = static_cast<unsigned char>(text[taken]);
        const bool plain = c >= 0x20 && c < 0x7f && c != '\\';
        if (out.size() + (plain ? 1 : 4) > most)
            break;
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    if (taken < text.size())
        out += "...(" + std::to_string(text.size()) + " bytes)";
    return out;
}

} // namespace

LogSink stdoutLog()
{
    return [](const std::string& line) {
        static std::mutex mutex;
        std::lock_guard lock(mutex);
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    };
}

QuoteService::QuoteService(Source& source, ServiceClock clock, LogSink log, ServiceOptions options)
    : m_source(source)
    , m_clock(std::move(clock))
    , m_log(std::move(log))
    , m_options(std::move(options))
{ }

void QuoteService::logRequest(const std::string& address, const std::string& method,
    const std::string& target, int status, const std::string& outcome)
{
    const std::string when = m_clock().toString(u"yyyy-MM-dd HH:mm:ss").toStdString();
    m_log(when + " " + address + " " + (method.empty() ? "-" : loggable(method, 16)) + " "
        + (target.empty() ? "-" : loggable(target, 512)) + " -> " + std::to_string(status) + " "
        + loggable(outcome, 2048));
}

void QuoteService::install(GuardedServer& server)
{
    // Answers are one small write each: without this, Nagle's algorithm and the client's delayed
    // acknowledgement hold every answer on a kept-alive connection back by 40 ms.
    server.set_tcp_nodelay(true);
    // The library's default, SO_REUSEPORT, lets a second service bind the same port and silently
    // share the program's requests with the first; SO_REUSEADDR alone only allows a quick restart.
    server.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    const auto serve = [this](auto answer) {
        return [this, answer](const httplib::Request& request, httplib::Response& response) {
            Reply reply;
            try {
                reply = (this->*answer)(request.params);
            } catch (const std::exception& e) {
                reply = {500, {}, std::string("empty: internal error: ") + e.what()};
            }
            response.status = reply.status;
            response.set_header("X-Data-Source", m_source.label());
            response.set_content(reply.body, "text/csv");
            tOutcome = reply.outcome;
        };
    };
    server.Get("/download/quotes.csv", serve(&QuoteService::answerQuotes));
    server.Get("/table.csv", serve(&QuoteService::answerHistory));
    server.Get("/", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content("tradevane-quoted: " + m_options.description
                + "\n/download/quotes.csv?format=sl&ext=.csv&symbols=SYMBOL\n"
                  "/table.csv?s=SYMBOL&a=FROM_MONTH&b=FROM_DAY&c=FROM_YEAR"
                  "&d=TO_MONTH&e=TO_DAY&f=TO_YEAR&g=d\n",
            "text/plain");
        tOutcome = "service page";
    });
    server.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        std::string outcome = std::move(tOutcome);
        tOutcome.clear();
        if (outcome.empty())
            outcome = response.status == 404 ? "empty: no such page" : "empty: request not understood";
        logRequest(request.remote_addr, request.method, request.target, response.status, outcome);
    });
    server.setRefusalLog([this](const Refusal& refusal) {
        logRequest(
            refusal.address, refusal.method, refusal.target, refusal.status, "refused: " + refusal.reason);
    });
}

QuoteRequest readQuoteRequest(const Params& params)
{
    const auto text = param(params, "symbols");
    if (!text)
        return {{}, "empty: no symbols= in the request"};
    std::vector<std::string> symbols = splitSymbols(*text);
    if (symbols.empty() || symbols.size() > 20)
        return {{}, "empty: " + std::to_string(symbols.size()) + " symbols (1 to 20 are served)"};
    for (std::string& s : symbols) {
        if (!isPlausibleSymbol(s))
            return {{}, "empty: not a symbol"};
        s = toUpper(s);
    }
    return {std::move(symbols), {}};
}

HistoryRequest readHistoryRequest(const Params& params, QDate today)
{
    const auto s = param(params, "s");
    if (!s || !isPlausibleSymbol(*s))
        return {{}, {}, {}, "empty: no symbol or not a symbol in s="};
    if (const auto g = param(params, "g"); g && *g != "d")
        return {{}, {}, {}, "empty: only daily history (g=d) is served"};
    HistoryRequest request {toUpper(*s), today.addDays(-365), today, {}};
    bool anyKey = false;
    for (const char* key : {"a", "b", "c", "d", "e", "f"})
        anyKey = anyKey || params.count(key) > 0;
    if (anyKey) {
        request.from = rangeDate(params, "a", "b", "c");
        request.to = rangeDate(params, "d", "e", "f");
        if (!request.from.isValid() || !request.to.isValid())
            return {{}, {}, {}, "empty: a..f are not two dates (month 1-12, day, year)"};
        if (request.from > request.to)
            return {{}, {}, {}, "empty: the range ends before it begins"};
    }
    return request;
}

QuoteService::Reply QuoteService::answerQuotes(const Params& params)
{
    const QuoteRequest request = readQuoteRequest(params);
    if (!request.problem.empty())
        return {400, {}, request.problem};
    const QDateTime now = m_clock();
    Reply reply;
    for (const std::string& symbol : request.symbols) {
        const Answer<QuoteFields> answer = m_source.quote(symbol, now);
        if (!reply.outcome.empty())
            reply.outcome += "; ";
        if (answer.ok) {
            reply.body += quoteLine(answer.data);
            reply.outcome += "quote " + symbol + " " + answer.data.last + " (" + m_source.label()
                + (answer.note.empty() ? "" : ", " + answer.note) + ")";
        } else {
            reply.outcome += "no quote for " + symbol + ": " + answer.reason;
        }
    }
    if (reply.body.empty())
        reply.outcome = "empty: " + reply.outcome;
    return reply;
}

QuoteService::Reply QuoteService::answerHistory(const Params& params)
{
    const QDateTime now = m_clock();
    const HistoryRequest request = readHistoryRequest(params, now.date());
    if (!request.problem.empty())
        return {400, {}, request.problem};
    const std::string& symbol = request.symbol;
    const QDate from = request.from;
    const QDate to = request.to;
    // Bounded even when every bar is wanted: ten years of trading days.
    const int limit = m_options.maxRows > 0 ? m_options.maxRows : 2610;
    const Answer<std::vector<MarketBar>> answer = m_source.history(symbol, from, to, limit, now);
    const std::string range = isoDate(from) + " to " + isoDate(to);
    if (!answer.ok)
        return {200, {}, "empty: no history for " + symbol + " " + range + ": " + answer.reason};
    if (answer.data.empty())
        return {
            200, {}, "empty: no trading days for " + symbol + " " + range + " (" + m_source.label() + ")"};
    const MarketBar& newest = answer.data.front();
    const MarketBar& oldest = answer.data.back();
    return {200, historyText(answer.data, m_source.label(), m_options.maxRows),
        "history " + symbol + " " + std::to_string(answer.data.size()) + " days " + isoDate(oldest.date)
            + " to " + isoDate(newest.date) + " (" + m_source.label()
            + (answer.note.empty() ? "" : ", " + answer.note) + ")"};
}

} // namespace tradevane::market
