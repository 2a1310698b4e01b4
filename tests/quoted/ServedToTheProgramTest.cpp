// What the service serves, read by the program's own code: an empty answer for a symbol the source
// does not have, and the alerts of the demonstration's stocks.
#include "QuotedTestSupport.h"

#include "DemoStocks.h"
#include "engine/marketdata/sources/ReplaySource.h"
#include "engine/marketdata/sources/SimulatedMarket.h"
#include "engine/marketdata/sources/SourceFormats.h"

#include "TestSupport.h"
#include "engine/alerts/AlertConditions.h"
#include "engine/indicators/Indicators.h"
#include "engine/log/LogTexts.h"
#include "engine/marketdata/HistoryRetrieval.h"
#include "engine/marketdata/PriceSource.h"
#include "engine/marketdata/QuoteRetrieval.h"
#include "engine/session/MonitoringSession.h"

using namespace tradevane;

using namespace tradevane::market;
using namespace tradevane::market::test;

namespace {

class ServedToTheProgram : public StockTest
{
protected:
    void SetUp() override
    {
        StockTest::SetUp();
        simulateClock(kNoon);
    }
};

} // namespace

TEST_F(ServedToTheProgram, AnUnknownSymbolIsABadSymbolToTheProgram)
{
    ReplaySource replay(std::filesystem::path(TRADEVANE_SOURCE_DIR) / "tests/engine/fixtures/replay", 1);
    RunningService service(replay);
    const QString server = QString::fromStdString(service.server.url());
    const auto servers = makePriceSource({}, {server, server}, m_app.fetcher, m_app.hub);
    StockContext s = stock(3);
    parseHistory(s, downloadedHistory(s, *servers, u"nope"_qs, setHistoryDates(now())));
    parseQuote(s, downloadedQuote(s, *servers, u"nope"_qs));
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
