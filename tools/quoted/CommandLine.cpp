#include "CommandLine.h"

#include "ServerLimits.h"

#include <charconv>

namespace tradevane::market {

namespace {

template<class T> bool number(const std::string& text, T& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// The limits of ServerLimits, in the words of the help text.
std::string limitsText()
{
    const ServerLimits limits;
    const auto ms = limits.headTimeout.count();
    const std::string time = ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
    return "Only GET and HEAD requests without a body are served (405 and 413 otherwise). A client has "
        + time + "\nto send its request line and headers, at most " + std::to_string(limits.maxHeadBytes)
        + " bytes and " + std::to_string(limits.maxHeaderLines)
        + " header lines (408, 414, 431);\none address may keep "
        + std::to_string(limits.maxConnectionsPerAddress) + " connections open, all clients together "
        + std::to_string(limits.maxConnections) + " (503 beyond). Refusals are\nlogged too.\n";
}

} // namespace

std::string helpText()
{
    return R"(tradevane-quoted: the quote service of Tradevane.

Answers the two requests Tradevane makes of its quote and history servers:
  /download/quotes.csv?format=sl&ext=.csv&symbols=SYMBOL   the latest quote, one line
  /table.csv?s=SYMBOL&a=..&b=..&c=..&d=..&e=..&f=..&g=d    daily history, newest first

Usage: tradevane-quoted [--listen HOST:PORT] [--source NAME [ARG]] [options]

  --listen HOST:PORT   where to listen (default 127.0.0.1:8470; port 0 picks a free one)
  --source NAME [ARG]  where prices come from:
      simulate [SEED]  a simulated market (the default, seed 1): every symbol has a year of
                       daily bars up to yesterday and quotes that move through today
      replay DIR       daily bars from DIR/SYMBOL.csv (Date,Open,High,Low,Close,Volume), replayed
                       so that the newest bar is yesterday; today's quotes walk on from it
      nasdaq           live delayed prices from Nasdaq's public web API (needs the internet);
                       quotes are kept 30 s, a symbol's history for the day
  --seed N             seed of the simulated walks (simulate and replay; default 1)
  --session HH:MM-HH:MM  the part of the day in which simulated quotes move
                       (default 00:00-24:00, so a demonstration moves at any hour)
  --max-rows N         most daily bars in one history answer (default 282, what Tradevane takes
                       at most; a year is about 261; 0 = the whole range)
  --upstream URL       base address of the nasdaq source (default https://api.nasdaq.com)
  --help               this text

Every request is logged on standard output with its outcome. A symbol the source does not know,
or a failure upstream, is answered with an empty body, which Tradevane logs as a bad symbol or
a server that is down; malformed requests get 400. Stop the service with Ctrl+C.

)" + limitsText();
}

std::variant<CommandLine, std::string> parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine line;
    const auto value = [&](std::size_t& i) -> const std::string* {
        if (i + 1 >= args.size())
            return nullptr;
        return &args[++i];
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--listen") {
            const std::string* v = value(i);
            const auto colon = v ? v->rfind(':') : std::string::npos;
            if (colon == std::string::npos || colon == 0 || !number(v->substr(colon + 1), line.port)
                || line.port < 0 || line.port > 65535)
                return std::string("--listen wants HOST:PORT, for example 127.0.0.1:8470");
            line.host = v->substr(0, colon);
        } else if (arg == "--source") {
            const std::string* v = value(i);
            if (!v)
                return std::string("--source wants simulate, replay DIR or nasdaq");
            line.source = *v;
            const bool hasArg = i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0;
            if (line.source == "simulate") {
                if (hasArg && !number(args[++i], line.seed))
                    return "simulate takes a whole number as its seed, not " + args[i];
            } else if (line.source == "replay") {
                if (!hasArg)
                    return std::string("replay wants the folder of its CSV files: --source replay DIR");
                line.folder = args[++i];
            } else if (line.source == "nasdaq") {
                if (hasArg)
                    return "nasdaq takes no argument (" + args[i + 1] + ")";
            } else {
                return "unknown source " + line.source + " (simulate, replay or nasdaq)";
            }
        } else if (arg == "--seed") {
            const std::string* v = value(i);
            if (!v || !number(*v, line.seed))
                return std::string("--seed wants a whole number");
        } else if (arg == "--session") {
            const std::string* v = value(i);
            const auto session = v ? SessionWindow::parse(*v) : std::nullopt;
            if (!session)
                return std::string(
                    "--session wants HH:MM-HH:MM, at least 30 minutes, for example 09:30-16:00");
            line.session = *session;
        } else if (arg == "--max-rows") {
            const std::string* v = value(i);
            if (!v || !number(*v, line.maxRows) || line.maxRows < 0)
                return std::string("--max-rows wants a whole number (0 = no limit)");
        } else if (arg == "--upstream") {
            const std::string* v = value(i);
            if (!v || (v->rfind("http://", 0) != 0 && v->rfind("https://", 0) != 0))
                return std::string("--upstream wants an http:// or https:// address");
            line.upstream = *v;
        } else {
            return "unknown argument " + arg;
        }
    }
    return line;
}

} // namespace tradevane::market
