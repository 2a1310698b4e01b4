// What the service serves, read by the program's own code: the quote and history downloads and
// parsers over HTTP, the cycle's plausibility test and today's row, and the indicators.
#include "QuotedTestSupport.h"

#include "DemoStocks.h"
#include "Formats.h"
#include "NasdaqSource.h"
#include "ReplaySource.h"
#include "SimulatedMarket.h"

#include "TestSupport.h"
#include "alertsettings/AlertSettingsFile.h"
#include "core/LogTexts.h"
#include "core/ServerSettings.h"
#include "core/VarDef.h"
#include "indicators/SetAlerts.h"
#include "indicators/indHLBreakout.h"
#include "indicators/indMovingAverage.h"
#include "indicators/indROC.h"
#include "indicators/indStochastic.h"
#include "indicators/indVolume.h"
#include "marketdata/DataRetrieval.h"
#include "marketdata/QuoteRetrieval.h"

using namespace quoted;
using namespace quoted::test;

namespace {

const QDateTime Wednesday(QDate(2026, 3, 11), QTime(11, 30));

// The cycle's test of a quote: Open, High and Low present, High, Low and Last starting with a digit.
bool Plausible(const Quote& q)
{
    const auto digit = [](const QString& text) { return !text.isEmpty() && text[0].isDigit(); };
    return !q.Open.isEmpty() && !q.High.isEmpty() && !q.Low.isEmpty() && digit(q.High) && digit(q.Low)
        && digit(q.Last);
}

// The cycle's today's row, then its indicators in its order, each only while the stock has no error.
void RunIndicators(int stock)
{
    HistoryArray& history = gHistory[stock];
    const Quote& q = gQuotes[stock];
    const QString row0[6] = {q.Date, q.Open, q.High, q.Low, q.Last, q.Volume};
    for (int slot = 0; slot < 6; ++slot)
        history[slot] = row0[slot].trimmed();
    gWorkData = history;
    StockID = static_cast<qint16>(stock);
    const std::vector<std::function<void()>> steps = {
        [] { CalcMovingAverages(5, 1); },
        [] { CalcMovingAverages(10, 2); },
        [] { CalcMovingAverages(10, 3); },
        [] { CalcMovingAverages(30, 4); },
        [] { CalcMovingAverages(50, 5); },
        [] { CalcMovingAverages(200, 6); },
        [] { CalcROC(21); },
        CheckHighestHigh,
        CheckLowestLow,
        [] { CalcVolumeAverage(20); },
        CalcFastK,
        CalcSlowK,
        CalcSlowD,
    };
    for (const auto& step : steps) {
        if (gDownloadError[stock] == vbFalse)
            step();
    }
}

int HistoryRows(int stock)
{
    int rows = 0;
    while (rows * 6 < kHistorySlots && !gHistory[stock][rows * 6].isEmpty())
        ++rows;
    return rows;
}

class ServedToTheProgram : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        simulateClock(Wednesday);
    }
    void TearDown() override
    {
        gServerSettings = DefaultServerSettings();
        ProgramTest::TearDown();
    }

    // Stock `stock` fetched as the cycle fetches it at the start of the day and in a quote set.
    void fetch(int stock, const QString& symbol, const std::string& server)
    {
        gServerSettings = {QString::fromStdString(server), QString::fromStdString(server)};
        StockID = static_cast<qint16>(stock);
        QString s = symbol;
        SetHistoryDates();
        DownloadHistory(s);
        ParseHistory();
        DownloadQuote(s);
        ParseQuote();
    }
    QString log() const { return QString::fromLatin1(readFile(u"activlog.dat"_qs)); }
};

} // namespace

TEST_F(ServedToTheProgram, ASimulatedYearAndItsQuotesPassEveryCheckOfTheProgram)
{
    TestClock serviceClock(Wednesday);
    SimulatedMarket market(1);
    RunningService service(market, serviceClock);
    const QStringList symbols = {u"ABC"_qs, u"msft"_qs, u"ibm"_qs, u"intc"_qs, u"csco"_qs, u"ge"_qs,
        u"xom"_qs, u"ko"_qs, u"brk.b"_qs, u"t"_qs};
    for (int stock = 1; stock <= 10; ++stock) {
        SCOPED_TRACE(symbols[stock - 1].toStdString());
        fetch(stock, symbols[stock - 1], service.server.url());
        EXPECT_EQ(gDownloadError[stock], vbFalse);
        EXPECT_EQ(HistoryRows(stock), 262) << "the heading and 261 trading days";
        EXPECT_EQ(gHistory[stock][6], u"2026-03-10"_qs) << "row 1 is yesterday";
        EXPECT_EQ(gQuotes[stock].Symbol, symbols[stock - 1].toUpper());
        EXPECT_EQ(gQuotes[stock].Date, u"3/11/2026"_qs);
        EXPECT_TRUE(Plausible(gQuotes[stock]));
        RunIndicators(stock);
        EXPECT_EQ(gDownloadError[stock], vbFalse) << log().toStdString();
        EXPECT_GT(gIndicators[stock].MovingAverage[6][3], 1.0) << "the 200-day average has its rows";
        EXPECT_GT(gIndicators[stock].AverageVolume, 0.0);
    }
    EXPECT_EQ(log().toStdString(), "");
}

TEST_F(ServedToTheProgram, ReplayAndNasdaqAnswersPassToo)
{
    TestClock serviceClock(Wednesday);
    ReplaySource replay(std::filesystem::path(TRADEVANE_SOURCE_DIR) / "tests/quoted/fixtures/replay", 1);
    RunningService replaying(replay, serviceClock);
    fetch(1, u"abc"_qs, replaying.server.url());
    EXPECT_EQ(HistoryRows(1), 261);
    EXPECT_EQ(gHistory[1][6 + 4], u"55.79"_qs) << "the close of the file's newest bar";
    EXPECT_TRUE(Plausible(gQuotes[1]));
    RunIndicators(1);
    EXPECT_EQ(gDownloadError[1], vbFalse);

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
    EXPECT_EQ(HistoryRows(2), 259);
    EXPECT_EQ(gQuotes[2].Open, u"N/A"_qs);
    EXPECT_TRUE(Plausible(gQuotes[2]));
    RunIndicators(2);
    EXPECT_EQ(gDownloadError[2], vbFalse);
    EXPECT_EQ(log().toStdString(), "");
}

TEST_F(ServedToTheProgram, AnUnknownSymbolIsABadSymbolToTheProgram)
{
    TestClock serviceClock(Wednesday);
    ReplaySource replay(std::filesystem::path(TRADEVANE_SOURCE_DIR) / "tests/quoted/fixtures/replay", 1);
    RunningService service(replay, serviceClock);
    fetch(3, u"nope"_qs, service.server.url());
    EXPECT_EQ(gStockFailed[3], vbTrue);
    // One message per request: the history arrived (empty), so there is no download error.
    const QString expected = LogText::DataError + u"3"_qs + LogText::FileTooSmall + u"\r\n"_qs
        + LogText::QuoteDownloadError + u"3"_qs + LogText::BadSymbolOrServerDown + u"\r\n\r\n"_qs;
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
        ApplyDemoStock(gAlertSettings[stock], DemoSymbols()[stock - 1]);
    std::map<std::string, int> turnedTrue;
    std::map<QDateTime, bool> anyAlert; // per quote time: some alert of some demo stock holds
    for (QDate day = QDate(2026, 3, 9); day <= QDate(2026, 3, 13); day = day.addDays(1)) {
        for (int stock = 1; stock <= 10; ++stock) {
            const std::string symbol = DemoSymbols()[stock - 1].toStdString();
            StockID = static_cast<qint16>(stock);
            gAlertState[stock] = {};
            // The texts the service would send, read by the program's parsers.
            DataRetrieval::HistoryText = QString::fromStdString(HistoryText(
                market.history(symbol, day.addDays(-365), day, 282, QDateTime(day, QTime(9, 0))).data,
                "simulated", 282));
            ParseHistory();
            ASSERT_EQ(gDownloadError[stock], vbFalse);
            std::map<std::string, bool> before;
            for (int minute = 9 * 60; minute < 24 * 60; minute += 5) {
                const QDateTime now(day, QTime(minute / 60, minute % 60));
                QuoteRetrieval::QuoteText = QString::fromStdString(QuoteLine(market.quote(symbol, now).data));
                ParseQuote();
                ASSERT_TRUE(Plausible(gQuotes[stock]));
                RunIndicators(stock);
                ASSERT_EQ(gDownloadError[stock], vbFalse) << log().toStdString();
                SetAlertFlags();
                std::map<std::string, bool> holding;
                for (const auto& [group, kinds] : groups) {
                    bool holds = false;
                    for (int kind : kinds)
                        holds = holds || gAlertState[stock][kind].Triggered == vbTrue;
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
