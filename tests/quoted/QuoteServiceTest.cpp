#include "QuotedTestSupport.h"

#include "CommandLine.h"
#include "engine/marketdata/sources/ReplaySource.h"
#include "engine/marketdata/sources/SimulatedMarket.h"

using namespace tradevane::market;
using namespace tradevane::market::test;

namespace {

class ThrowingSource final : public Source
{
public:
    std::string label() const override { return "broken"; }
    Answer<QuoteFields> quote(const std::string&, const QDateTime&) override
    {
        throw std::runtime_error("boom");
    }
    Answer<std::vector<MarketBar>> history(const std::string&, QDate, QDate, int, const QDateTime&) override
    {
        throw std::bad_alloc();
    }
};

} // namespace

TEST(QuoteService, BadRequestsGetAnEmptyAnswerAndALogLine)
{
    SimulatedMarket market(1);
    RunningService running(market);
    const std::string history = "/table.csv?s=abc";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/download/quotes.csv", "400 empty: no symbols= in the request"},
        {"/download/quotes.csv?format=sl&ext=.csv&symbols=", "400 empty: 0 symbols"},
        {"/download/quotes.csv?symbols=ab%2Fcd", "400 empty: not a symbol"},
        {"/download/quotes.csv?symbols=../../etc/passwd", "400 empty: not a symbol"},
        {"/download/quotes.csv?symbols=ABCDEFGHIJKLM", "400 empty: not a symbol"},
        {"/download/quotes.csv?symbols=a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u", "400 empty: 21 symbols"},
        {"/table.csv?a=1&b=1&c=2025&d=1&e=1&f=2026", "400 empty: no symbol"},
        {history + "&a=13&b=1&c=2025&d=1&e=1&f=2026&g=d", "400 empty: a..f are not two dates"},
        {history + "&a=2&b=30&c=2025&d=1&e=1&f=2026&g=d", "400 empty: a..f are not two dates"},
        {history + "&a=x&b=1&c=2025&d=1&e=1&f=2026&g=d", "400 empty: a..f are not two dates"},
        {history + "&a=-1&b=1&c=2025&d=1&e=1&f=2026&g=d", "400 empty: a..f are not two dates"},
        {history + "&a=1&b=1&c=99999999999&d=1&e=1&f=2026", "400 empty: a..f are not two dates"},
        {history + "&a=3", "400 empty: a..f are not two dates"},
        {history + "&a=3&b=1&c=2026&d=1&e=1&f=2026&g=d", "400 empty: the range ends before it begins"},
        {history + "&a=1&b=1&c=2025&d=1&e=1&f=2026&g=w", "400 empty: only daily history"},
        {"/table.csv?s=abc&a=1&b=3&c=2026&d=1&e=4&f=2026&g=d", "200 empty: no trading days for ABC"},
        {"/download/quotes.csv%00?symbols=abc", "404 empty: no such page"},
        {"/etc/passwd", "404 empty: no such page"},
    };
    for (const auto& [path, outcome] : cases) {
        const auto reply = running.server.get(path);
        EXPECT_EQ(reply.status, std::stoi(outcome.substr(0, 3))) << path;
        EXPECT_EQ(reply.body, "") << path;
        const std::string logged = running.log.next();
        EXPECT_NE(logged.find(" -> " + outcome), std::string::npos) << path << "\n" << logged;
    }

    // Broken clients and oversized requests: no crash, the service goes on answering.
    for (const std::string& bytes : {std::string("GARBAGE\r\n\r\n"), std::string(100000, 'x'),
             std::string("GET /table.csv?s=abc HTTP/1.1\r\nHost: x\r\nContent-Length: 99\r\n\r\nab")})
        RawConnection(running.server.port()).send(bytes);
    EXPECT_GE(running.server.get("/download/quotes.csv?symbols=" + std::string(20000, 'a')).status, 400);
    EXPECT_EQ(running.server.get(quotePath("abc")).status, 200);
}

TEST(QuoteService, RequestLogLinesCarryNoControlCharactersAndStayShort)
{
    SimulatedMarket market(1);
    RunningService running(market);
    const auto plain = [](const std::string& line) {
        return std::none_of(line.begin(), line.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte < 0x20 || byte >= 0x7f;
        });
    };

    // A terminal escape, a bell, DEL, UTF-8 and a backslash in the target.
    RawConnection connection(running.server.port());
    connection.send("GET /download/quotes.csv?symbols=abc\x1b[2J\x07\x7f\xc3\xa9\\ HTTP/1.1\r\n"
                    "Host: x\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(connection.receive().starts_with("HTTP/1.1 400 "));
    const std::string escaped = running.log.next();
    EXPECT_NE(escaped.find(" GET /download/quotes.csv?symbols=abc\\x1b[2J\\x07\\x7f\\xc3\\xa9\\x5c -> 400 "
                           "empty: not a symbol"),
        std::string::npos)
        << escaped;
    EXPECT_TRUE(plain(escaped)) << escaped;

    // A long target is cut; the outcome stays on the line.
    EXPECT_EQ(running.server.get(quotePath("abc") + "&pad=" + std::string(6000, 'x')).status, 200);
    const std::string cut = running.log.next();
    EXPECT_LT(cut.size(), 1000u);
    EXPECT_NE(cut.find("xxx...(6056 bytes) -> 200 quote ABC "), std::string::npos) << cut;
    EXPECT_TRUE(plain(cut)) << cut;
}

TEST(QuoteService, AnswersTheProgramsRequestsAndSaysWhatItServes)
{
    SimulatedMarket market(1);
    RunningService running(market, {282, "simulated market (seed 1), not real prices"});

    // No range: the year up to yesterday, like the program's own request.
    const auto plain = running.server.get("/table.csv?s=abc");
    EXPECT_EQ(plain.body, running.server.get(historyPath("abc")).body);
    EXPECT_EQ(linesOf(plain.body).size(), 262u) << "a heading and the 261 weekdays of the year";
    RunningService shorter(market, {100, "simulated"});
    EXPECT_EQ(linesOf(shorter.server.get("/table.csv?s=abc").body).size(), 101u);

    // Several symbols, separated by commas or plus signs, one line each; unknown ones are left out.
    const std::string two = running.server.get("/download/quotes.csv?format=sl&symbols=abc+msft").body;
    EXPECT_EQ(linesOf(two).size(), 2u);
    EXPECT_EQ(two, running.server.get("/download/quotes.csv?format=sl&symbols=abc,msft").body);
    ReplaySource replay(std::filesystem::path(TRADEVANE_SOURCE_DIR) / "tests/engine/fixtures/replay", 1);
    RunningService replaying(replay);
    const std::string known = replaying.server.get("/download/quotes.csv?symbols=nope,abc").body;
    EXPECT_EQ(linesOf(known).size(), 1u);
    EXPECT_TRUE(known.starts_with("\"ABC\","));
    const std::string logged = replaying.log.next();
    EXPECT_NE(logged.find("-> 200 no quote for NOPE: no file NOPE.csv"), std::string::npos) << logged;
    EXPECT_NE(logged.find("; quote ABC "), std::string::npos) << logged;

    // A history: a heading that names the source and a line a bar; the log line sums it up with
    // the source's note. One the source does not have is an empty answer with the reason logged.
    const std::vector<std::string> lines = linesOf(replaying.server.get(historyPath("abc")).body);
    ASSERT_EQ(lines.size(), 261u);
    EXPECT_EQ(lines[0], "Date (replay),Open,High,Low,Close,Volume,Adj Close");
    EXPECT_EQ(lines[1], "2026-03-10,55.66,56.26,55.07,55.79,723726,55.79");
    const std::string summed = replaying.log.next();
    EXPECT_NE(summed.find("-> 200 history ABC 260 days 2025-03-12 to 2026-03-10 (replay)"), std::string::npos)
        << summed;
    replaying.server.get(historyPath("xyz"));
    const std::string noted = replaying.log.next();
    EXPECT_NE(noted.find(" (replay, 1 lines of xyz.csv skipped"), std::string::npos) << noted;
    EXPECT_EQ(replaying.server.get(quotePath("nope")).body, "");
    const std::string none = replaying.log.next();
    EXPECT_NE(none.find("-> 200 empty: no quote for NOPE: no file NOPE.csv"), std::string::npos) << none;
    EXPECT_EQ(replaying.server.get(historyPath("nope")).body, "");
    const std::string missing = replaying.log.next();
    EXPECT_NE(missing.find("-> 200 empty: no history for NOPE 2025-03-11 to 2026-03-11: no file NOPE.csv"),
        std::string::npos)
        << missing;

    // The service page and every answer say where the prices come from.
    const auto page = running.server.get("/");
    EXPECT_TRUE(page.body.starts_with("tradevane-quoted: simulated market (seed 1), not real prices\n"))
        << page.body;
    httplib::Client client("127.0.0.1", running.server.port());
    const auto answer = client.Get(quotePath("abc").c_str());
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->get_header_value("X-Data-Source"), "simulated");
}

TEST(QuoteService, ManyClientsAtOnceAreAllAnsweredAndLogged)
{
    SimulatedMarket market(1);
    RunningService running(market);
    std::atomic<int> good {0};
    std::vector<std::thread> clients;
    for (int c = 0; c < 8; ++c) {
        clients.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", running.server.port());
            for (int i = 0; i < 25; ++i) {
                const std::string symbol = "s" + std::to_string((c * 25 + i) % 13);
                const auto result
                    = client.Get((i % 5 == 0 ? historyPath(symbol) : quotePath(symbol)).c_str());
                if (result && result->status == 200 && !result->body.empty())
                    ++good;
            }
        });
    }
    for (auto& t : clients)
        t.join();
    EXPECT_EQ(good, 200);
    for (int i = 0; i < 200; ++i)
        EXPECT_NE(running.log.next(), "");
}

TEST(QuoteService, AFailingSourceIsAnEmptyAnswerNotACrash)
{
    ThrowingSource broken;
    RunningService running(broken);
    for (const std::string& path : {quotePath("abc"), historyPath("abc")}) {
        const auto reply = running.server.get(path);
        EXPECT_EQ(reply.status, 500);
        EXPECT_EQ(reply.body, "");
        const std::string logged = running.log.next();
        EXPECT_NE(logged.find("-> 500 empty: internal error: "), std::string::npos) << logged;
    }
}

TEST(QuoteService, ASecondServiceCannotTakeAPortInUse)
{
    SimulatedMarket market(1);
    RunningService first(market);
    GuardedServer second;
    QuoteService service(
        market, [] { return kNoon; }, [](const std::string&) {});
    service.install(second);
    EXPECT_FALSE(second.bind_to_port("127.0.0.1", first.server.port()));
}

TEST(QuotedCommandLine, OptionsAndMistakes)
{
    const auto parse = [](std::vector<std::string> args) { return parseCommandLine(args); };
    const auto error = [&](std::vector<std::string> args) {
        const auto result = parse(std::move(args));
        return std::holds_alternative<std::string>(result) ? std::get<std::string>(result) : std::string();
    };

    const CommandLine defaults = std::get<CommandLine>(parse({}));
    EXPECT_EQ(defaults.host, "127.0.0.1");
    EXPECT_EQ(defaults.port, 8470);
    EXPECT_EQ(defaults.source, "simulate");
    EXPECT_EQ(defaults.seed, 1u);
    EXPECT_EQ(defaults.maxRows, 282);
    EXPECT_EQ(defaults.session.startMinute, 0);
    EXPECT_EQ(defaults.session.closeMinute(), 23 * 60 + 59);

    const CommandLine full = std::get<CommandLine>(parse({"--listen", "0.0.0.0:9000", "--source", "simulate",
        "42", "--session", "09:30-16:00", "--max-rows", "0"}));
    EXPECT_EQ(full.host, "0.0.0.0");
    EXPECT_EQ(full.port, 9000);
    EXPECT_EQ(full.seed, 42u);
    EXPECT_EQ(full.session.startMinute, 570);
    EXPECT_EQ(full.session.closeMinute(), 960);
    EXPECT_EQ(full.maxRows, 0);

    const CommandLine replay
        = std::get<CommandLine>(parse({"--source", "replay", "/data/csv", "--seed", "7"}));
    EXPECT_EQ(replay.source, "replay");
    EXPECT_EQ(replay.folder, "/data/csv");
    EXPECT_EQ(replay.seed, 7u);
    const CommandLine live
        = std::get<CommandLine>(parse({"--source", "nasdaq", "--upstream", "http://127.0.0.1:9"}));
    EXPECT_EQ(live.upstream, "http://127.0.0.1:9");
    EXPECT_TRUE(std::get<CommandLine>(parse({"--help"})).help);
    EXPECT_NE(helpText().find("--source NAME [ARG]"), std::string::npos);

    EXPECT_EQ(error({"--listen", "8470"}), "--listen wants HOST:PORT, for example 127.0.0.1:8470");
    EXPECT_NE(error({"--listen", "localhost:70000"}), "");
    EXPECT_NE(error({"--listen"}), "");
    EXPECT_EQ(error({"--source", "replay"}), "replay wants the folder of its CSV files: --source replay DIR");
    EXPECT_EQ(error({"--source", "yahoo"}), "unknown source yahoo (simulate, replay or nasdaq)");
    EXPECT_EQ(error({"--source", "simulate", "x1"}), "simulate takes a whole number as its seed, not x1");
    EXPECT_NE(error({"--source", "nasdaq", "extra"}), "");
    EXPECT_NE(error({"--session", "16:00-09:30"}), "");
    EXPECT_NE(error({"--session", "09:30-09:45"}), "");
    EXPECT_NE(error({"--max-rows", "-1"}), "");
    EXPECT_NE(error({"--upstream", "ftp://x"}), "");
    EXPECT_EQ(error({"--frobnicate"}), "unknown argument --frobnicate");
}
