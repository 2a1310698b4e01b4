// What the service serves, read by the program's own code: the quote and history downloads and
// parsers over HTTP, the cycle's plausibility test and today's row, and the indicators.
#include "QuotedTestSupport.h"

#include "DemoStocks.h"
#include "engine/marketdata/sources/NasdaqSource.h"
#include "engine/marketdata/sources/ReplaySource.h"
#include "engine/marketdata/sources/SimulatedMarket.h"
#include "engine/marketdata/sources/SourceFormats.h"

#include "TestSupport.h"
#include "engine/alerts/AlertConditions.h"
#include "engine/indicators/IndicatorSeries.h"
#include "engine/indicators/Indicators.h"
#include "engine/log/LogTexts.h"
#include "engine/marketdata/HistoryRetrieval.h"
#include "engine/marketdata/PriceSource.h"
#include "engine/marketdata/QuoteRetrieval.h"
#include "engine/session/MonitoringSession.h"
#include "engine/settings/AlertSettingsFile.h"
#include "platform/HttpFetch.h"

using namespace tradevane;

using namespace tradevane::market;
using namespace tradevane::market::test;

namespace {

const QDateTime kWednesday(QDate(2026, 3, 11), QTime(11, 30));

class ServedToTheProgram : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        simulateClock(kWednesday);
    }

    StockContext stock(int number)
    {
        const auto i = static_cast<std::size_t>(number - 1);
        return {StockIndex::fromNumber(number), m_settings[i], m_states[i], m_app.log};
    }
    StockState& state(int number) { return m_states[static_cast<std::size_t>(number - 1)]; }

    // Stock `number` fetched as the engine fetches it at the start of the day and in a quote set.
    void fetch(int number, const QString& symbol, const std::string& url)
    {
        const QString server = QString::fromStdString(url);
        QString body;
        bool ended = false;
        const auto done = [&](const QString& b) {
            body = b;
            ended = true;
        };
        const auto servers = makePriceSource({}, {server, server}, m_app.fetcher, m_app.hub);
        auto download = downloadHistory(stock(number), *servers, symbol, setHistoryDates(now()), done);
        ASSERT_TRUE(runUntil([&] { return ended; }));
        StockContext s = stock(number);
        parseHistory(s, body);
        ended = false;
        download = downloadQuote(stock(number), *servers, symbol, done);
        ASSERT_TRUE(runUntil([&] { return ended; }));
        parseQuote(s, body);
    }

    // Today's row and the indicators, as the engine makes them for a usable quote.
    void runIndicators(int number)
    {
        MonitoringSession::storeTodaysRow(state(number));
        StockContext s = stock(number);
        calcIndicators(s);
    }

    int historyRows(int number) { return historyRowCount(state(number).history); }

    QString log() const { return QString::fromLatin1(readFile(u"activlog.dat"_qs)); }

    std::array<AlertSettings, kStockCount> m_settings {};
    std::array<StockState, kStockCount> m_states {};
};

} // namespace

TEST_F(ServedToTheProgram, ASimulatedYearAndItsQuotesPassEveryCheckOfTheProgram)
{
    TestClock serviceClock(kWednesday);
    SimulatedMarket market(1);
    RunningService service(market, serviceClock);
    const QStringList symbols = {u"ABC"_qs, u"msft"_qs, u"ibm"_qs, u"intc"_qs, u"csco"_qs, u"ge"_qs,
        u"xom"_qs, u"ko"_qs, u"brk.b"_qs, u"t"_qs};
    for (int stock = 1; stock <= 10; ++stock) {
        SCOPED_TRACE(symbols[stock - 1].toStdString());
        fetch(stock, symbols[stock - 1], service.server.url());
        EXPECT_FALSE(state(stock).downloadError);
        EXPECT_EQ(historyRows(stock), 262) << "the heading and 261 trading days";
        EXPECT_EQ(state(stock).history[1].dateText, u"2026-03-10"_qs) << "row 1 is yesterday";
        EXPECT_EQ(state(stock).quote.symbol, symbols[stock - 1].toUpper());
        EXPECT_EQ(state(stock).quote.date, u"3/11/2026"_qs);
        EXPECT_TRUE(MonitoringSession::isPlausible(state(stock).quote));
        runIndicators(stock);
        EXPECT_FALSE(state(stock).downloadError) << log().toStdString();
        EXPECT_GT(state(stock).indicators.movingAverage[5][2], 1.0) << "the 200-day average has its rows";
        EXPECT_GT(state(stock).indicators.averageVolume, 0.0);
    }
    EXPECT_EQ(log().toStdString(), "");
}

TEST_F(ServedToTheProgram, ReplayAndNasdaqAnswersPassToo)
{
    TestClock serviceClock(kWednesday);
    ReplaySource replay(std::filesystem::path(TRADEVANE_SOURCE_DIR) / "tests/quoted/fixtures/replay", 1);
    RunningService replaying(replay, serviceClock);
    fetch(1, u"abc"_qs, replaying.server.url());
    EXPECT_EQ(historyRows(1), 261);
    EXPECT_EQ(state(1).history[1].close, 55.79) << "the close of the file's newest bar";
    EXPECT_TRUE(MonitoringSession::isPlausible(state(1).quote));
    runIndicators(1);
    EXPECT_FALSE(state(1).downloadError);

    // The live source on its recorded answers: the quote has no open ("N/A") and is still used.
    const QDateTime december(QDate(2023, 12, 4), QTime(14, 35));
    serviceClock.set(december);
    simulateClock(december);
    UpstreamStub stub;
    stub.serve("AAPL/info/stocks", "aapl-info.json");
    stub.serve("AAPL/summary/stocks", "aapl-summary.json");
    stub.serve("AAPL/historical/stocks", "aapl-historical.json");
    NasdaqOptions options;
    options.upstream = stub.url();
    options.spacingMs = 0;
    NasdaqSource nasdaq(options);
    RunningService live(nasdaq, serviceClock);
    fetch(2, u"AAPL"_qs, live.server.url());
    EXPECT_EQ(historyRows(2), 259);
    EXPECT_EQ(state(2).quote.open, u"N/A"_qs);
    EXPECT_TRUE(MonitoringSession::isPlausible(state(2).quote));
    runIndicators(2);
    EXPECT_FALSE(state(2).downloadError);
    EXPECT_EQ(log().toStdString(), "");
}

TEST_F(ServedToTheProgram, AnUnknownSymbolIsABadSymbolToTheProgram)
{
    TestClock serviceClock(kWednesday);
    ReplaySource replay(std::filesystem::path(TRADEVANE_SOURCE_DIR) / "tests/quoted/fixtures/replay", 1);
    RunningService service(replay, serviceClock);
    fetch(3, u"nope"_qs, service.server.url());
    EXPECT_TRUE(state(3).stockFailed);
    // One message per request: the history arrived (empty), so there is no download error.
    const QString expected = LogText::kDataError + u"3"_qs + LogText::kFileTooSmall + u"\r\n"_qs
        + LogText::kQuoteDownloadError + u"3"_qs + LogText::kBadSymbolOrServerDown + u"\r\n\r\n"_qs;
    EXPECT_EQ(log().toStdString(), expected.toStdString());
}

// The alerts a demonstration relies on must really fire while it runs. Over a week of quotes every
// five minutes from 9:00, for the ten demo stocks, the program's own parsers, indicators and alert
// flags see the crossovers, the 20-day breakouts, the stochastic reversals and the volume surges
// turn true during the day, not only at the first quote; and whenever a demonstration starts,
// some alert of the demo stocks holds, so the first quote set already logs alert lines.
TEST_F(ServedToTheProgram, ADemonstrationDayHasCrossoversBreakoutsReversalsAndSurges)
{
    SimulatedMarket market(1);
    const std::map<std::string, std::vector<int>> groups = {
        {"short crossover", {1, 2}},
        {"medium crossover", {3, 4}},
        {"long crossover", {5, 6}},
        {"20-day breakout", {7, 8}},
        {"rate of change", {9, 10}},
        {"stochastic reversal", {11, 12}},
        {"volume surge", {15}},
    };
    for (int stock = 1; stock <= 10; ++stock)
        applyDemoStock(m_settings[static_cast<std::size_t>(stock - 1)], demoSymbols()[stock - 1]);
    std::map<std::string, int> turnedTrue;
    std::map<QDateTime, bool> anyAlert; // per quote time: some alert of some demo stock holds
    for (QDate day = QDate(2026, 3, 9); day <= QDate(2026, 3, 13); day = day.addDays(1)) {
        for (int stock = 1; stock <= 10; ++stock) {
            const std::string symbol = demoSymbols()[stock - 1].toStdString();
            state(stock).alerts = {};
            StockContext s = this->stock(stock);
            // The texts the service would send, read by the program's parsers.
            parseHistory(s,
                QString::fromStdString(historyText(
                    market.history(symbol, day.addDays(-365), day, 282, QDateTime(day, QTime(9, 0))).data,
                    "simulated", 282)));
            ASSERT_FALSE(state(stock).downloadError);
            std::map<std::string, bool> before;
            for (int minute = 9 * 60; minute < 24 * 60; minute += 5) {
                const QDateTime now(day, QTime(minute / 60, minute % 60));
                parseQuote(s, QString::fromStdString(quoteLine(market.quote(symbol, now).data)));
                ASSERT_TRUE(MonitoringSession::isPlausible(state(stock).quote));
                runIndicators(stock);
                ASSERT_FALSE(state(stock).downloadError) << log().toStdString();
                setAlertFlags(s);
                std::map<std::string, bool> holding;
                for (const auto& [group, kinds] : groups) {
                    bool holds = false;
                    for (int kind : kinds)
                        holds = holds || state(stock).alerts[static_cast<AlertKind>(kind - 1)].triggered;
                    holding[group] = holds;
                    anyAlert[now] = anyAlert[now] || holds;
                    if (!before.empty() && holds && !before[group])
                        ++turnedTrue[group];
                }
                before = holding;
            }
        }
    }
    for (const auto& [group, count] : turnedTrue)
        std::printf("%-20s turned true %d times in 50 symbol-days\n", group.c_str(), count);
    for (const char* group :
        {"short crossover", "medium crossover", "20-day breakout", "stochastic reversal", "volume surge"})
        EXPECT_GE(turnedTrue[group], 5) << group << " should turn true during the week's demonstration days";
    int quiet = 0;
    for (const auto& [when, any] : anyAlert)
        quiet += any ? 0 : 1;
    EXPECT_EQ(quiet, 0) << "quote times at which no demo stock has an alert";
}
