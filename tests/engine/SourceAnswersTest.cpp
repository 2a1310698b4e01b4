// What the sources inside the program give, read by the program's own code: the quote and history
// downloads and parsers, the cycle's plausibility test and today's row, and the indicators.
#include "LoopbackHttpServer.h"
#include "MarketFixtures.h"
#include "TestSupport.h"

#include "engine/indicators/IndicatorSeries.h"
#include "engine/marketdata/HistoryRetrieval.h"
#include "engine/marketdata/PriceSource.h"
#include "engine/marketdata/QuoteRetrieval.h"
#include "engine/session/MonitoringSession.h"

using namespace tradevane;

namespace {

const QDateTime kWednesday(kMarketWednesday, QTime(11, 30));

class SourceAnswers : public StockTest
{
protected:
    void SetUp() override
    {
        StockTest::SetUp();
        simulateClock(kWednesday);
    }

    std::unique_ptr<PriceSource> source(SourceKind kind, const QString& folderOrUpstream = {})
    {
        const QString folder = kind == SourceKind::Replay ? folderOrUpstream : QString();
        const QString upstream = kind == SourceKind::Live ? folderOrUpstream : QString();
        return makePriceSource({kind, 1, folder}, {}, m_app.fetcher, m_app.hub, upstream);
    }

    // Stock `number` fetched from `source` as the engine fetches it at the start of the day and in a
    // quote set, then today's row and the indicators made as for a usable quote.
    void fetch(int number, const QString& symbol, PriceSource& source)
    {
        StockContext s = stock(number);
        parseHistory(s, downloadedHistory(s, source, symbol, setHistoryDates(now())));
        parseQuote(s, downloadedQuote(s, source, symbol));
        EXPECT_TRUE(MonitoringSession::isPlausible(state(number).quote));
        runIndicators(number);
        EXPECT_FALSE(state(number).downloadError) << log().toStdString();
    }

    int historyRows(int number) { return historyRowCount(state(number).history); }
};

} // namespace

TEST_F(SourceAnswers, ASimulatedYearAndItsQuotesPassEveryCheckOfTheProgram)
{
    const auto market = source(SourceKind::Simulated);
    const QStringList symbols = {u"ABC"_qs, u"msft"_qs, u"ibm"_qs, u"intc"_qs, u"csco"_qs, u"ge"_qs,
        u"xom"_qs, u"ko"_qs, u"brk.b"_qs, u"t"_qs};
    for (int stock = 1; stock <= 10; ++stock) {
        SCOPED_TRACE(symbols[stock - 1].toStdString());
        fetch(stock, symbols[stock - 1], *market);
        EXPECT_EQ(historyRows(stock), 262) << "the heading and 261 trading days";
        EXPECT_EQ(state(stock).history[1].dateText, u"2026-03-10"_qs) << "row 1 is yesterday";
        EXPECT_EQ(state(stock).quote.symbol, symbols[stock - 1].toUpper());
        EXPECT_EQ(state(stock).quote.date, u"3/11/2026"_qs);
        EXPECT_GT(state(stock).indicators.movingAverage[5][2], 1.0) << "the 200-day average has its rows";
        EXPECT_GT(state(stock).indicators.averageVolume, 0.0);
    }
    EXPECT_EQ(log().toStdString(), "");
}

TEST_F(SourceAnswers, ReplayAndLiveAnswersPassToo)
{
    const auto replay = source(SourceKind::Replay, QString::fromStdString(kReplayFolder.string()));
    fetch(1, u"abc"_qs, *replay);
    EXPECT_EQ(historyRows(1), 261);
    EXPECT_EQ(state(1).history[1].close, 55.79) << "the close of the file's newest bar";

    // The live source asks the upstream service itself (here its stand-in on loopback) with its
    // recorded answers: the quote has no open ("N/A") and is still used.
    simulateClock(QDateTime(QDate(2023, 12, 4), QTime(14, 35)));
    LoopbackHttpServer upstream;
    ASSERT_TRUE(upstream.start());
    upstream.serve(u"/api/quote/AAPL/info?assetclass=stocks"_qs, nasdaqFixture(u"aapl-info.json"_qs));
    upstream.serve(u"/api/quote/AAPL/summary?assetclass=stocks"_qs, nasdaqFixture(u"aapl-summary.json"_qs));
    upstream.serve(u"/api/quote/AAPL/historical"_qs, nasdaqFixture(u"aapl-historical.json"_qs));
    const auto live = source(SourceKind::Live, upstream.baseUrl());
    EXPECT_TRUE(live->realPrices());
    fetch(2, u"aapl"_qs, *live);
    EXPECT_EQ(historyRows(2), 259);
    EXPECT_EQ(state(2).quote.last, u"189.98"_qs);
    EXPECT_EQ(state(2).quote.open, u"N/A"_qs);
    EXPECT_EQ(upstream.requests().size(), 3);
    EXPECT_EQ(log().toStdString(), "");
}
