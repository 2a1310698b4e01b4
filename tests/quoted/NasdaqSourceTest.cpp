#include "QuotedTestSupport.h"
#include "TestSupport.h"

#include "engine/marketdata/PriceSource.h"
#include "engine/marketdata/sources/NasdaqSource.h"
#include "engine/marketdata/sources/SourceFormats.h"
#include "engine/session/AppServices.h"

#include <chrono>
#include <future>

using namespace tradevane;
using namespace tradevane::market;
using namespace tradevane::market::test;

namespace {

// The source and the service in front of it, against the stub.
struct NasdaqRig
{
    explicit NasdaqRig(NasdaqOptions options = {}, std::string upstream = {})
        : clock(QDateTime(QDate(2023, 12, 4), QTime(14, 35)))
        , source([&] {
            options.upstream = upstream.empty() ? stub.url() : upstream;
            options.timeoutMs = options.timeoutMs == NasdaqOptions().timeoutMs ? 2000 : options.timeoutMs;
            options.spacingMs = options.spacingMs == NasdaqOptions().spacingMs ? 0 : options.spacingMs;
            return options;
        }())
        , service(source, clock)
    { }
    UpstreamStub stub;
    TestClock clock;
    NasdaqSource source;
    RunningService service;
};

} // namespace

TEST(NasdaqSource, QuotesAreMadeFromTheInfoAndSummaryAnswers)
{
    NasdaqRig rig;
    rig.stub.serve("AAPL/info/stocks", "aapl-info.json");
    rig.stub.serve("AAPL/summary/stocks", "aapl-summary.json");
    rig.stub.serve("MSFT/info/stocks", "msft-info.json");
    rig.stub.serve("MSFT/summary/stocks", "msft-summary.json");

    const auto aapl = rig.service.server.get(quotePath("aapl"));
    EXPECT_EQ(aapl.status, 200);
    // The current layout has no open price anywhere: the program is told "N/A".
    EXPECT_EQ(aapl.body, "\"AAPL\",189.98,\"12/4/2023\",\"2:31pm\",+0.95,N/A,190.32,188.00,48794366\r\n");
    const std::string logged = rig.service.log.next();
    EXPECT_NE(logged.find("-> 200 quote AAPL 189.98 (nasdaq, from upstream)"), std::string::npos) << logged;

    // The older layout: open and volume in the key statistics, the day's range from the summary.
    EXPECT_EQ(rig.service.server.get(quotePath("msft")).body,
        "\"MSFT\",1374.61,\"12/1/2023\",\"4:00pm\",0.00,1370.02,1380.00,1366.15,21674751\r\n");

    const auto seen = rig.stub.seen();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].target, "/api/quote/AAPL/info?assetclass=stocks");
    EXPECT_EQ(seen[1].target, "/api/quote/AAPL/summary?assetclass=stocks");
    for (const auto& s : seen) {
        EXPECT_TRUE(s.userAgent.starts_with("Mozilla/5.0 (")) << s.userAgent;
        EXPECT_NE(s.accept.find("application/json"), std::string::npos);
    }
}

TEST(NasdaqSource, AQuoteIsAskedUpstreamAtMostEveryThirtySeconds)
{
    NasdaqRig rig;
    rig.stub.serve("AAPL/info/stocks", "aapl-info.json");
    rig.stub.serve("AAPL/summary/stocks", "aapl-summary.json");
    const std::string first = rig.service.server.get(quotePath("aapl")).body;
    EXPECT_EQ(rig.stub.seen().size(), 2u);
    rig.service.log.next();

    rig.clock.advanceSeconds(29);
    EXPECT_EQ(rig.service.server.get(quotePath("AAPL")).body, first);
    EXPECT_EQ(rig.stub.seen().size(), 2u);
    const std::string logged = rig.service.log.next();
    EXPECT_NE(logged.find("(nasdaq, cached 29 s)"), std::string::npos) << logged;

    rig.clock.advanceSeconds(1);
    rig.service.server.get(quotePath("aapl"));
    EXPECT_EQ(rig.stub.seen().size(), 4u);
}

TEST(NasdaqSource, HistoryIsConvertedAndFetchedOncePerDay)
{
    NasdaqRig rig;
    rig.stub.serve("AAPL/historical/stocks", "aapl-historical.json");
    const QDate today(2023, 12, 4);
    const auto reply = rig.service.server.get(historyPath("aapl", today));
    ASSERT_EQ(reply.status, 200);
    const std::vector<std::string> lines = linesOf(reply.body);
    ASSERT_EQ(lines.size(), 259u); // 260 rows, less today's and one without a date
    EXPECT_EQ(lines[0], "Date (nasdaq),Open,High,Low,Close,Volume,Adj Close");
    // Today's row is left to the quote; dollar signs and thousands separators go.
    EXPECT_EQ(lines[1], "2023-12-01,186.46,188.12,185.91,186.66,75068190,186.66");
    // A row without an open keeps its close as the open; a row without a date is dropped.
    EXPECT_EQ(lines[5], "2023-11-27,188.93,190.18,186.67,188.93,64995367,188.93");
    EXPECT_EQ(lines[8].substr(0, 10), "2023-11-22");
    EXPECT_EQ(lines[9].substr(0, 10), "2023-11-20");
    EXPECT_EQ(rig.stub.seen().at(0).target,
        "/api/quote/AAPL/historical?assetclass=stocks&fromdate=2022-12-04&todate=2023-12-04&limit=9999");
    const std::string logged = rig.service.log.next();
    EXPECT_NE(logged.find("history AAPL 258 days 2022-12-06 to 2023-12-01"), std::string::npos) << logged;
    EXPECT_NE(logged.find("(nasdaq, from upstream, 1 upstream rows skipped)"), std::string::npos) << logged;

    rig.clock.advanceSeconds(3 * 3600);
    EXPECT_EQ(rig.service.server.get(historyPath("aapl", today)).body, reply.body);
    EXPECT_EQ(rig.stub.seen().size(), 1u) << "the same day's history comes from the cache";

    rig.clock.advanceSeconds(24 * 3600);
    rig.service.server.get(historyPath("aapl", today.addDays(1)));
    EXPECT_EQ(rig.stub.seen().size(), 2u) << "a new day fetches again";
}

TEST(NasdaqSource, UpstreamFailuresGiveAnEmptyAnswerAndALoggedReason)
{
    struct Case
    {
        const char* what;
        UpstreamStub::Canned canned;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"unknown symbol", {200, nasdaqFixture("unknown-symbol.json")}, "upstream: Symbol not exists."},
        {"challenge page", {200, nasdaqFixture("challenge.html")},
            "an HTML page instead of data (blocked or a challenge page)"},
        {"refusal", {403, nasdaqFixture("challenge.html")}, "upstream HTTP 403"},
        {"server error", {500, ""}, "upstream HTTP 500"},
        {"not JSON", {200, "{\"data\":{\"symbol\":"}, "upstream sent something that is not JSON"},
        {"no price", {200, R"({"data":{"symbol":"AAPL","primaryData":{"lastSalePrice":"N/A"}}})"},
            "upstream quote has no last sale price"},
        {"no rows", {200, R"({"data":{"symbol":"AAPL","tradesTable":{"rows":null}}})"},
            "upstream history has no rows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NasdaqRig rig;
        rig.stub.serve("AAPL/info/stocks", c.canned);
        rig.stub.serve("AAPL/historical/stocks", c.canned);
        const bool history = std::string(c.what) == "no rows";
        const auto reply
            = rig.service.server.get(history ? historyPath("aapl", QDate(2023, 12, 4)) : quotePath("aapl"));
        EXPECT_EQ(reply.status, 200);
        EXPECT_EQ(reply.body, "");
        const std::string logged = rig.service.log.next();
        EXPECT_NE(logged.find("-> 200 empty: no "), std::string::npos) << logged;
        EXPECT_NE(logged.find(c.reason), std::string::npos) << logged;
    }
}

TEST(NasdaqSource, ARefusalLeavesUpstreamAloneForAWhile)
{
    NasdaqRig rig;
    rig.stub.serve("AAPL/info/stocks", {429, "Too Many Requests"});
    rig.stub.serve("MSFT/info/stocks", "msft-info.json");
    EXPECT_EQ(rig.service.server.get(quotePath("aapl")).body, "");
    EXPECT_EQ(rig.service.server.get(quotePath("msft")).body, "");
    EXPECT_EQ(rig.service.server.get(historyPath("msft", QDate(2023, 12, 4))).body, "");
    EXPECT_EQ(rig.stub.seen().size(), 1u);
    rig.service.log.next();
    const std::string logged = rig.service.log.next();
    EXPECT_NE(logged.find("upstream refused us recently; asking again in 120 s"), std::string::npos)
        << logged;

    // A failed history is not asked again for five minutes either.
    NasdaqRig other;
    other.stub.serve("AAPL/historical/stocks", {500, ""});
    other.service.server.get(historyPath("aapl", QDate(2023, 12, 4)));
    other.clock.advanceSeconds(299);
    other.service.server.get(historyPath("aapl", QDate(2023, 12, 4)));
    EXPECT_EQ(other.stub.seen().size(), 1u);
    other.clock.advanceSeconds(1);
    other.service.server.get(historyPath("aapl", QDate(2023, 12, 4)));
    EXPECT_EQ(other.stub.seen().size(), 2u);
}

TEST(NasdaqSource, AnUnreachableOrSilentUpstreamIsABoundedFailure)
{
    NasdaqRig unreachable({}, "http://127.0.0.1:1");
    EXPECT_EQ(unreachable.service.server.get(quotePath("aapl")).body, "");
    std::string logged = unreachable.service.log.next();
    EXPECT_NE(logged.find("upstream no answer: "), std::string::npos) << logged;

    NasdaqOptions quick;
    quick.timeoutMs = 300;
    NasdaqRig silent(quick);
    silent.stub.serve("AAPL/info/stocks", {200, nasdaqFixture("aapl-info.json"), 1500});
    EXPECT_EQ(silent.service.server.get(quotePath("aapl")).body, "");
    logged = silent.service.log.next();
    EXPECT_NE(logged.find("timed out"), std::string::npos) << logged;
}

// Abandoned (the program closes), the source ends a request the upstream never answers at once
// instead of at its time-out, skips the wait before the next one, and asks nothing more.
TEST(NasdaqSource, AbandonedItEndsTheRequestInHandAndAsksNothingMore)
{
    // The system takes the connections; nobody ever answers them.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 8), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    NasdaqOptions patient;
    patient.upstream = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    patient.timeoutMs = 600'000; // far beyond the test's own time limit, as is the spacing
    patient.spacingMs = 600'000;
    NasdaqSource source(patient);
    const QDateTime now(QDate(2023, 12, 4), QTime(14, 35));
    auto quote = std::async(std::launch::async, [&] { return source.quote("AAPL", now); });
    auto history = std::async(std::launch::async,
        [&] { return source.history("MSFT", now.date().addDays(-365), now.date(), 282, now); });
    while (source.upstreamRequests() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    source.abandon();
    const Answer<QuoteFields> quoted = quote.get();
    EXPECT_FALSE(quoted.ok);
    EXPECT_NE(quoted.reason.find("abandoned"), std::string::npos) << quoted.reason;
    EXPECT_FALSE(history.get().ok);
    EXPECT_FALSE(source.quote("IBM", now).ok);
    EXPECT_EQ(source.upstreamRequests(), 1);
    ::close(listener);
}

TEST(NasdaqSource, FundsAreAskedForAsFundsWhenStocksDoNotKnowThem)
{
    NasdaqRig rig;
    rig.stub.serve("SPY/info/etf", "spy-etf-info.json");
    const auto reply = rig.service.server.get(quotePath("spy"));
    EXPECT_EQ(reply.body, "\"SPY\",459.10,\"12/4/2023\",\"2:31pm\",+0.95,N/A,460.00,455.00,48794366\r\n");
    auto seen = rig.stub.seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].key, "SPY/info/stocks");
    EXPECT_EQ(seen[1].key, "SPY/info/etf");
    EXPECT_EQ(seen[2].key, "SPY/summary/etf");

    rig.clock.advanceSeconds(60);
    rig.service.server.get(quotePath("spy"));
    seen = rig.stub.seen();
    EXPECT_EQ(seen.at(3).key, "SPY/info/etf") << "the asset class is remembered";
}

TEST(NasdaqSource, UpstreamRequestsAreSpacedOut)
{
    NasdaqOptions polite;
    polite.spacingMs = 250;
    NasdaqRig rig(polite);
    for (const char* symbol : {"aapl", "msft", "ibm"})
        rig.service.server.get(quotePath(symbol));
    const auto seen = rig.stub.seen();
    ASSERT_EQ(seen.size(), 6u); // each unknown symbol is asked as a stock and as a fund
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_GE(seen[i].when - seen[i - 1].when, std::chrono::milliseconds(240)) << i;
}

TEST(NasdaqConversion, TimestampsPricesAndRanges)
{
    const QDateTime now(QDate(2024, 2, 9), QTime(10, 7));
    const auto at = [&](const std::string& stamp) {
        const QuoteFields q = toQuoteFields({"X", "1.00", "", stamp, "", "", "", ""}, now);
        return q.date + " " + q.time;
    };
    EXPECT_EQ(at("Nov 3, 2023 4:00 PM ET"), "11/3/2023 4:00pm");
    EXPECT_EQ(at("DATA AS OF Nov 19, 2019 9:27 AM ET - PRE-MARKET"), "11/19/2019 9:27am");
    EXPECT_EQ(at("CLOSED AT 4:00 PM ET ON Nov 18, 2019"), "11/18/2019 4:00pm");
    EXPECT_EQ(at("DATA AS OF Jul 28, 2020"), "7/28/2020 4:00pm");
    EXPECT_EQ(at("Feb 9, 2024 12:05 PM ET"), "2/9/2024 12:05pm");
    EXPECT_EQ(at("Feb 9, 2024 12:05 AM ET"), "2/9/2024 12:05am");
    EXPECT_EQ(at(""), "2/9/2024 10:07am");
    EXPECT_EQ(at("Foo 45, 2024 99:99 PM"), "2/9/2024 10:07am");
    // Missing values are "N/A", which the program shows but does not use.
    EXPECT_EQ(quoteLine(toQuoteFields({"X", "1.00", "", "", "", "", "", ""}, now)),
        "\"X\",1.00,\"2/9/2024\",\"10:07am\",N/A,N/A,N/A,N/A,N/A\r\n");

    // A day's range of a million digits: no range, and no stack overflow in reading it.
    const std::string longRange = R"({"data":{"primaryData":{"lastSalePrice":"$2.50"},)"
                                  R"("keyStats":{"dayrange":{"value":")"
        + std::string(1000000, '1') + R"("}}},"status":{"rCode":200}})";
    const auto read = readUpstreamInfo(longRange);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.data.last, "2.50");
    EXPECT_EQ(read.data.high, "");
    EXPECT_EQ(read.data.low, "");
    // Prices are written whole, however large: not cut at 63 characters.
    EXPECT_EQ(readUpstreamInfo(R"({"data":{"primaryData":{"lastSalePrice":"$1e70"}}})").data.last,
        formatPrice(1e70));
    EXPECT_EQ(formatPrice(1e70).size(), 74u);
    EXPECT_EQ(formatPrice(1e70).substr(0, 3), "100");
    EXPECT_EQ(formatChange(-1e70).size(), 75u);

    // A price below a hundredth of a cent would go out as "0.0000": it counts as no price.
    EXPECT_EQ(readUpstreamInfo(R"({"data":{"primaryData":{"lastSalePrice":"$0.00001"}}})").reason,
        "upstream quote has no last sale price");
    const auto tinyLow = readUpstreamInfo(R"({"data":{"primaryData":{"lastSalePrice":"$2.50"},)"
                                          R"("keyStats":{"dayrange":{"value":"2.60 - 0.00001"}}}})");
    ASSERT_TRUE(tinyLow.ok);
    EXPECT_EQ(tinyLow.data.high + "/" + tinyLow.data.low, "/");
    const auto tinyRows = readUpstreamHistory(R"({"data":{"tradesTable":{"rows":[)"
                                              R"({"date":"12/04/2023","close":"$0.00001"},)"
                                              R"({"date":"12/01/2023","close":"$2.00","low":"0.00001"}]}}})");
    ASSERT_TRUE(tinyRows.ok);
    ASSERT_EQ(tinyRows.data.size(), 1u);
    EXPECT_EQ(tinyRows.data[0].low, 2.0);
    EXPECT_EQ(tinyRows.note, "1 upstream rows skipped");

    // Index rows: thousands separators without a dollar sign, no volume.
    const auto index = readUpstreamHistory(
        R"({"data":{"symbol":"NDX","tradesTable":{"rows":[{"date":"08/25/2026","close":"29,209.23","volume":"--",)"
        R"("open":"29,231.18","high":"29,338.77","low":"29,077.72"}]}},"status":{"rCode":200}})");
    ASSERT_TRUE(index.ok);
    EXPECT_EQ(index.data.at(0).close, 29209.23);
    EXPECT_EQ(index.data.at(0).high, 29338.77);
    EXPECT_EQ(index.data.at(0).volume, 0);
}

// The live choice inside the program asks the upstream service itself (here its stand-in on
// loopback) and hands the engine the quote line a quote server would send.
TEST(NasdaqSource, TheProgramsLiveSourceAsksTheUpstreamService)
{
    UpstreamStub stub;
    stub.serve("AAPL/info/stocks", "aapl-info.json");
    stub.serve("AAPL/summary/stocks", "aapl-summary.json");
    AppServices app;
    const auto live = makePriceSource(
        {SourceKind::Live, 1, {}}, {}, app.fetcher, app.hub, QString::fromStdString(stub.url()));
    EXPECT_TRUE(live->realPrices());
    std::optional<FetchResult> answer;
    const auto fetch = live->fetchQuote(u"aapl"_qs, [&](const FetchResult& r) { answer = r; });
    ASSERT_TRUE(runUntil([&] { return answer.has_value(); }, 10000));
    EXPECT_TRUE(answer->ok) << answer->reason.toStdString();
    EXPECT_TRUE(answer->body.startsWith(u"\"AAPL\",189.98,"_qs)) << answer->body.toStdString();
    EXPECT_EQ(stub.seen().size(), 2u);
}
