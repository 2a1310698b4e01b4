#include "LoopbackHttpServer.h"
#include "MarketFixtures.h"

#include "engine/marketdata/sources/NasdaqSource.h"
#include "engine/marketdata/sources/SourceFormats.h"

#include <chrono>
#include <future>

using namespace tradevane::market;

namespace {

const QDateTime kDecember(QDate(2023, 12, 4), QTime(14, 35));

// A bar as a line of the history text.
std::string row(const MarketBar& bar)
{
    const std::string text = historyText({bar}, "nasdaq", 0);
    return text.substr(text.find('\n') + 1);
}

// The live source against a stand-in of the upstream host on loopback, which answers whatever it
// is not told to with 404. The source waits for its answers, so it is asked on a thread of its own
// while this thread's events let the stand-in answer.
class NasdaqSourceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_upstream.start());
        m_options.upstream = m_upstream.baseUrl().toStdString();
        m_options.timeoutMs = 2000;
        m_options.spacingMs = 0;
    }

    // The source with m_options, made at its first use.
    NasdaqSource& source()
    {
        if (!m_source)
            m_source = std::make_unique<NasdaqSource>(m_options);
        return *m_source;
    }
    // A new source and a stand-in that has forgotten everything.
    void startAgain()
    {
        m_source.reset();
        m_upstream.clear();
    }

    template<class Ask> auto asked(Ask ask)
    {
        auto answer = std::async(std::launch::async, ask);
        EXPECT_TRUE(runUntil(
            [&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 30000));
        return answer.get();
    }
    Answer<QuoteFields> quote(const std::string& symbol, const QDateTime& now = kDecember)
    {
        NasdaqSource& s = source();
        return asked([&] { return s.quote(symbol, now); });
    }
    Answer<std::vector<MarketBar>> history(const std::string& symbol, const QDateTime& now = kDecember)
    {
        NasdaqSource& s = source();
        return asked([&] { return s.history(symbol, now.date().addDays(-365), now.date(), 282, now); });
    }

    // The upstream answer to the `what` request ("info", "summary", "historical") of `symbol` as
    // `assetClass`; a history is served whatever its asset class and range.
    void serve(const QString& symbol, const QString& what, const LoopbackHttpServer::Answer& answer,
        const QString& assetClass = u"stocks"_qs)
    {
        const QString path = u"/api/quote/"_qs + symbol + u'/' + what;
        m_upstream.serve(what == u"historical"_qs ? path : path + u"?assetclass="_qs + assetClass, answer);
    }
    void serve(const QString& symbol, const QString& what, const QString& fixture,
        const QString& assetClass = u"stocks"_qs)
    {
        serve(symbol, what, {.body = nasdaqFixture(fixture)}, assetClass);
    }

    LoopbackHttpServer m_upstream;
    NasdaqOptions m_options;
    std::unique_ptr<NasdaqSource> m_source;
};

} // namespace

TEST_F(NasdaqSourceTest, QuotesAreMadeFromTheInfoAndSummaryAnswers)
{
    serve(u"AAPL"_qs, u"info"_qs, u"aapl-info.json"_qs);
    serve(u"AAPL"_qs, u"summary"_qs, u"aapl-summary.json"_qs);
    serve(u"MSFT"_qs, u"info"_qs, u"msft-info.json"_qs);
    serve(u"MSFT"_qs, u"summary"_qs, u"msft-summary.json"_qs);

    const auto aapl = quote("AAPL");
    ASSERT_TRUE(aapl.ok) << aapl.reason;
    // The current layout has no open price anywhere: the program is told "N/A".
    EXPECT_EQ(quoteLine(aapl.data),
        "\"AAPL\",189.98,\"12/4/2023\",\"2:31pm\",+0.95,N/A,190.32,188.00,48794366\r\n");
    EXPECT_EQ(aapl.note, "from upstream");

    // The older layout: open and volume in the key statistics, the day's range from the summary.
    EXPECT_EQ(quoteLine(quote("MSFT").data),
        "\"MSFT\",1374.61,\"12/1/2023\",\"4:00pm\",0.00,1370.02,1380.00,1366.15,21674751\r\n");

    EXPECT_EQ(m_upstream.requests(),
        QStringList({u"/api/quote/AAPL/info?assetclass=stocks"_qs,
            u"/api/quote/AAPL/summary?assetclass=stocks"_qs, u"/api/quote/MSFT/info?assetclass=stocks"_qs,
            u"/api/quote/MSFT/summary?assetclass=stocks"_qs}));
    for (const auto& request : m_upstream.received()) {
        EXPECT_TRUE(request.headers.value("user-agent").startsWith("Mozilla/5.0 ("));
        EXPECT_TRUE(request.headers.value("accept").contains("application/json"));
    }
}

TEST_F(NasdaqSourceTest, AQuoteIsAskedUpstreamAtMostEveryThirtySeconds)
{
    serve(u"AAPL"_qs, u"info"_qs, u"aapl-info.json"_qs);
    serve(u"AAPL"_qs, u"summary"_qs, u"aapl-summary.json"_qs);
    const std::string first = quoteLine(quote("AAPL").data);
    EXPECT_EQ(m_upstream.requests().size(), 2);

    const auto cached = quote("AAPL", kDecember.addSecs(29));
    EXPECT_EQ(quoteLine(cached.data), first);
    EXPECT_EQ(cached.note, "cached 29 s");
    EXPECT_EQ(m_upstream.requests().size(), 2);

    quote("AAPL", kDecember.addSecs(30));
    EXPECT_EQ(m_upstream.requests().size(), 4);
}

TEST_F(NasdaqSourceTest, HistoryIsConvertedAndFetchedOncePerDay)
{
    serve(u"AAPL"_qs, u"historical"_qs, u"aapl-historical.json"_qs);
    const auto year = history("AAPL");
    ASSERT_TRUE(year.ok) << year.reason;
    const std::vector<MarketBar>& bars = year.data;
    ASSERT_EQ(bars.size(), 258u); // 260 rows, less today's and one without a date
    // Today's row is left to the quote; dollar signs and thousands separators go.
    EXPECT_EQ(row(bars[0]), "2023-12-01,186.46,188.12,185.91,186.66,75068190,186.66\n");
    // A row without an open keeps its close as the open; a row without a date is dropped.
    EXPECT_EQ(row(bars[4]), "2023-11-27,188.93,190.18,186.67,188.93,64995367,188.93\n");
    EXPECT_EQ(bars[7].date, QDate(2023, 11, 22));
    EXPECT_EQ(bars[8].date, QDate(2023, 11, 20));
    EXPECT_EQ(bars.back().date, QDate(2022, 12, 6));
    EXPECT_EQ(year.note, "from upstream, 1 upstream rows skipped");
    EXPECT_EQ(m_upstream.requests().at(0),
        u"/api/quote/AAPL/historical?assetclass=stocks&fromdate=2022-12-04&todate=2023-12-04&limit=9999"_qs);

    EXPECT_EQ(history("AAPL", kDecember.addSecs(3 * 3600)).data.size(), bars.size());
    EXPECT_EQ(m_upstream.requests().size(), 1) << "the same day's history comes from the cache";
    history("AAPL", kDecember.addDays(1));
    EXPECT_EQ(m_upstream.requests().size(), 2) << "a new day fetches again";
}

TEST_F(NasdaqSourceTest, UpstreamFailuresAreAnswersWithAReason)
{
    struct Case
    {
        const char* what;
        LoopbackHttpServer::Answer answer;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"unknown symbol", {.body = nasdaqFixture(u"unknown-symbol.json"_qs)},
            "upstream: Symbol not exists."},
        {"challenge page", {.body = nasdaqFixture(u"challenge.html"_qs)},
            "an HTML page instead of data (blocked or a challenge page)"},
        {"refusal", {.status = 403, .body = nasdaqFixture(u"challenge.html"_qs)}, "upstream HTTP 403"},
        {"server error", {.status = 500}, "upstream HTTP 500"},
        {"not JSON", {.body = "{\"data\":{\"symbol\":"}, "upstream sent something that is not JSON"},
        {"no price", {.body = R"({"data":{"symbol":"AAPL","primaryData":{"lastSalePrice":"N/A"}}})"},
            "upstream quote has no last sale price"},
        {"no rows", {.body = R"({"data":{"symbol":"AAPL","tradesTable":{"rows":null}}})"},
            "upstream history has no rows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startAgain();
        serve(u"AAPL"_qs, u"info"_qs, c.answer);
        serve(u"AAPL"_qs, u"historical"_qs, c.answer);
        const std::string reason
            = std::string(c.what) == "no rows" ? history("AAPL").reason : quote("AAPL").reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
}

TEST_F(NasdaqSourceTest, ARefusalLeavesUpstreamAloneForAWhile)
{
    serve(u"AAPL"_qs, u"info"_qs, {.status = 429, .body = "Too Many Requests"});
    serve(u"MSFT"_qs, u"info"_qs, u"msft-info.json"_qs);
    EXPECT_FALSE(quote("AAPL").ok);
    const auto msft = quote("MSFT");
    EXPECT_FALSE(msft.ok);
    EXPECT_NE(msft.reason.find("upstream refused us recently; asking again in 120 s"), std::string::npos)
        << msft.reason;
    EXPECT_FALSE(history("MSFT").ok);
    EXPECT_EQ(m_upstream.requests().size(), 1);

    // A failed history is not asked again for five minutes either.
    startAgain();
    serve(u"AAPL"_qs, u"historical"_qs, {.status = 500});
    history("AAPL");
    history("AAPL", kDecember.addSecs(299));
    EXPECT_EQ(m_upstream.requests().size(), 1);
    history("AAPL", kDecember.addSecs(300));
    EXPECT_EQ(m_upstream.requests().size(), 2);
}

TEST_F(NasdaqSourceTest, AnUnreachableOrSilentUpstreamIsABoundedFailure)
{
    m_options.upstream = "http://127.0.0.1:" + std::to_string(unusedLoopbackPort());
    std::string reason = quote("AAPL").reason;
    EXPECT_NE(reason.find("upstream no answer: "), std::string::npos) << reason;

    m_options.upstream = m_upstream.baseUrl().toStdString();
    m_options.timeoutMs = 300;
    startAgain();
    serve(u"AAPL"_qs, u"info"_qs, {.mode = LoopbackHttpServer::Answer::Mode::Hang});
    reason = quote("AAPL").reason;
    EXPECT_NE(reason.find("timed out"), std::string::npos) << reason;
}

// Abandoned (the program closes), the source ends a request the upstream never answers at once
// instead of at its time-out, skips the wait before the next one, and asks nothing more.
TEST_F(NasdaqSourceTest, AbandonedItEndsTheRequestInHandAndAsksNothingMore)
{
    serve(u"AAPL"_qs, u"info"_qs, {.mode = LoopbackHttpServer::Answer::Mode::Hang});
    m_options.timeoutMs = 600'000; // far beyond the test's own time limit, as is the spacing
    m_options.spacingMs = 600'000;
    NasdaqSource& s = source();
    auto quoted = std::async(std::launch::async, [&] { return s.quote("AAPL", kDecember); });
    auto history = std::async(std::launch::async,
        [&] { return s.history("MSFT", kDecember.date().addDays(-365), kDecember.date(), 282, kDecember); });
    ASSERT_TRUE(runUntil([&] { return s.upstreamRequests() > 0; }));
    s.abandon();
    const Answer<QuoteFields> quote = quoted.get();
    EXPECT_FALSE(quote.ok);
    EXPECT_NE(quote.reason.find("abandoned"), std::string::npos) << quote.reason;
    EXPECT_FALSE(history.get().ok);
    EXPECT_FALSE(s.quote("IBM", kDecember).ok);
    EXPECT_EQ(s.upstreamRequests(), 1);
}

TEST_F(NasdaqSourceTest, FundsAreAskedForAsFundsWhenStocksDoNotKnowThem)
{
    serve(u"SPY"_qs, u"info"_qs, u"unknown-symbol.json"_qs);
    serve(u"SPY"_qs, u"info"_qs, u"spy-etf-info.json"_qs, u"etf"_qs);
    EXPECT_EQ(quoteLine(quote("SPY").data),
        "\"SPY\",459.10,\"12/4/2023\",\"2:31pm\",+0.95,N/A,460.00,455.00,48794366\r\n");
    EXPECT_EQ(m_upstream.requests(),
        QStringList({u"/api/quote/SPY/info?assetclass=stocks"_qs, u"/api/quote/SPY/info?assetclass=etf"_qs,
            u"/api/quote/SPY/summary?assetclass=etf"_qs}));

    quote("SPY", kDecember.addSecs(60));
    EXPECT_EQ(m_upstream.requests().value(3), u"/api/quote/SPY/info?assetclass=etf"_qs)
        << "the asset class is remembered";
}

TEST_F(NasdaqSourceTest, UpstreamRequestsAreSpacedOut)
{
    m_options.spacingMs = 250;
    std::vector<std::chrono::steady_clock::time_point> asked;
    m_upstream.setResponder([&](const LoopbackHttpServer::Request&) {
        asked.push_back(std::chrono::steady_clock::now());
        return LoopbackHttpServer::Answer {.status = 404};
    });
    for (const char* symbol : {"AAPL", "MSFT", "IBM"})
        quote(symbol);
    ASSERT_EQ(asked.size(), 3u);
    for (std::size_t i = 1; i < asked.size(); ++i)
        EXPECT_GE(asked[i] - asked[i - 1], std::chrono::milliseconds(240)) << i;
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
