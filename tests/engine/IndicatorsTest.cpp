#include "CycleFixture.h"
#include "IndicatorFixture.h"

#include "engine/indicators/HighLowBreakout.h"
#include "engine/indicators/IndicatorSeries.h"
#include "engine/indicators/Indicators.h"
#include "engine/indicators/MovingAverage.h"
#include "engine/indicators/RateOfChange.h"
#include "engine/indicators/Stochastic.h"
#include "engine/indicators/VolumeAverage.h"
#include "engine/marketdata/HistoryRetrieval.h"
#include "engine/settings/AlertSettingsFile.h"

using namespace tradevane;

namespace {

const QString kHuge = u"1"_qs + QString(400, u'0'); // no double holds it
const QString kNearMax = u"9"_qs + QString(307, u'0'); // 9e307: finite, but two of them overflow

// A history holds 283 rows: an indicator reads days it has not received as 0 up to there, and
// fails on anything beyond, or on a text that is not a number.

TEST_F(IndicatorTest, MovingAveragesOfTodayYesterdayAndTwoDaysBack)
{
    for (int r = 0; r <= 6; ++r)
        setClose(r, QString::number(10 + r));
    EXPECT_EQ(movingAverage(rows(), 5, 0), 12.0);
    EXPECT_EQ(movingAverage(rows(), 5, 1), 13.0);
    EXPECT_EQ(movingAverage(rows(), 5, 2), 14.0);

    // Ten days, the way the history table and the quote leave the texts: the rest read 0.
    m_state.history.clear();
    setClose(0, u"100"_qs);
    for (int r = 1; r <= 9; ++r)
        setClose(r, r % 2 ? u" 100\r"_qs : u"100.00"_qs);
    EXPECT_DOUBLE_EQ(*movingAverage(rows(), 200, 0), 5.0);
    EXPECT_DOUBLE_EQ(*movingAverage(rows(), 200, 2), 4.0);
    EXPECT_TRUE(movingAverage(rows(), 281, 2)); // rows 2..282, the last a history holds

    EXPECT_FALSE(movingAverage(rows(), 282, 2)); // row 283
    EXPECT_FALSE(movingAverage(rows(), 0));
    EXPECT_FALSE(movingAverage(rows(), -5));
    setClose(6, u"N/A"_qs);
    EXPECT_TRUE(movingAverage(rows(), 5, 0));
    EXPECT_FALSE(movingAverage(rows(), 5, 2));
    for (const QString& text : {kHuge, kNearMax}) {
        for (int r = 0; r < 200; ++r)
            setClose(r, text);
        EXPECT_FALSE(movingAverage(rows(), 200));
    }
}

TEST_F(IndicatorTest, RateOfChangeAgainstTheClose20RowsBack)
{
    setClose(20, u"100"_qs);
    setClose(0, u"110"_qs);
    EXPECT_DOUBLE_EQ(*rateOfChange(rows(), 21), 10.0);
    setClose(0, u"90"_qs);
    EXPECT_DOUBLE_EQ(*rateOfChange(rows(), 21), -10.0);
    EXPECT_EQ(rateOfChange(rows(), 1), 0.0); // row 0 against itself

    // No usable close back then: empty (a short history), zero, or not a number.
    for (const QString& back : {u""_qs, u"0.00"_qs, u"N/A"_qs}) {
        setClose(20, back);
        EXPECT_FALSE(rateOfChange(rows(), 21)) << back.toStdString();
    }
    setClose(20, u"100"_qs);
    for (const int period : {0, -3, 284})
        EXPECT_FALSE(rateOfChange(rows(), period)) << period;
    // A tiny close back then makes a rate no double holds.
    setClose(0, kNearMax);
    setClose(20, u"0."_qs + QString(300, u'0') + u"1"_qs);
    EXPECT_FALSE(rateOfChange(rows(), 21));
}

TEST_F(IndicatorTest, SlowStochasticPlacesTheCloseBetweenTheHighestHighAndLowestLow)
{
    setDays(0, 43, 20, 10, 15);
    setDays(0, 2, 20, 10, 20);
    EXPECT_DOUBLE_EQ(computeSlowStochastic(rows()).k, 100.0);
    setDays(0, 2, 20, 10, 10);
    EXPECT_DOUBLE_EQ(computeSlowStochastic(rows()).k, 0.0);

    // With every high 100 and low 0 the raw %K of a row is its close: the slow %K averages three
    // rows, the slow %D three slow %K values.
    setDays(0, 45, 100, 0, 0);
    const int closes[] = {50, 60, 70, 80, 90, 100, 100};
    for (int r = 0; r < 7; ++r)
        setClose(r, QString::number(closes[r]));
    SlowStochastic stochastic = computeSlowStochastic(rows());
    EXPECT_DOUBLE_EQ(stochastic.k, 60.0);
    EXPECT_DOUBLE_EQ(stochastic.d, 70.0);

    // A stock trading above 9999 is measured against its own lowest low; highs of 0.01 or less
    // leave the highest high at 0.01; no history at all reads 0 rather than failing.
    setDays(0, 43, 21000, 19000, 20500);
    EXPECT_DOUBLE_EQ(computeSlowStochastic(rows()).k, 75.0);
    setDays(0, 43, 0.008, 0.002, 0.005);
    EXPECT_DOUBLE_EQ(computeSlowStochastic(rows()).k, 37.5);
    m_state.history.clear();
    stochastic = computeSlowStochastic(rows());
    EXPECT_EQ(stochastic.failure, SlowStochastic::Failure::None);
    EXPECT_EQ(stochastic.k, 0.0);
    EXPECT_EQ(stochastic.d, 0.0);
}

TEST_F(IndicatorTest, SlowStochasticFailsAtTheStepThatCannotBeComputed)
{
    using Failure = SlowStochastic::Failure;
    setDays(0, 43, 12, 8, 10);
    setLow(44, u"N/A"_qs);
    setClose(30, u"N/A"_qs); // the closes of rows 30.. are never used
    EXPECT_EQ(computeSlowStochastic(rows()).failure, Failure::None);
    setHigh(43, u"N/A"_qs);
    EXPECT_EQ(computeSlowStochastic(rows()).failure, Failure::RawK);

    setDays(0, 43, 12, 8, 10);
    setDays(20, 34, 10, 10, 10); // a suspended stock: the window of row 20 has no range
    EXPECT_EQ(computeSlowStochastic(rows()).failure, Failure::RawK);

    // Raw %K of 9e307 each: finite, but three of them do not add up in a double.
    setDays(0, 43, 1, 0, 0);
    for (int r = 0; r < 30; ++r)
        setClose(r, kNearMax.chopped(2));
    EXPECT_EQ(computeSlowStochastic(rows()).failure, Failure::SlowK);
}

// Today's high (low) against the highs (lows) of the last `days` days before it: strictly beyond
// every one, compared as numbers ("9.5" sorts after "10.25" as text).
TEST_F(IndicatorTest, NewHighOrLowMustBeStrictlyBeyondEveryDay)
{
    struct Case
    {
        bool low;
        int days;
        QStringList rows; // today first
        bool expected;
    };
    const Case cases[] = {{false, 2, {u"10.5"_qs, u"10.4"_qs, u"10.49"_qs}, true},
        {false, 2, {u"10.5"_qs, u"10.4"_qs, u"10.5"_qs}, false}, {false, 1, {u"9.5"_qs, u"10.25"_qs}, false},
        {false, 0, {u"10.5"_qs}, false}, {false, -1, {u"10.5"_qs}, false},
        {true, 2, {u"9.5"_qs, u"9.6"_qs, u"9.51"_qs, u"1"_qs}, true}, // the 1 lies beyond the day count
        {true, 2, {u"9.5"_qs, u"9.6"_qs, u"9.5"_qs}, false}, {true, 1, {u"10.25"_qs, u"9.5"_qs}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
            << (c.low ? "low " : "high ") << c.days << " days " << c.rows.join(u' ').toStdString());
        m_state.history.clear();
        for (int r = 0; r < c.rows.size(); ++r)
            setField(r, c.low ? 3 : 2, c.rows[r]);
        EXPECT_EQ(c.low ? isNewLow(rows(), c.days) : isNewHigh(rows(), c.days), c.expected);
    }

    m_state.history.clear();
    setHigh(0, u"100"_qs);
    for (int r = 1; r <= 283; ++r)
        setHigh(r, u"50"_qs);
    EXPECT_EQ(isNewHigh(rows(), 283), true); // the high of the 284th row is still held
    EXPECT_FALSE(isNewHigh(rows(), 284));
    setHigh(3, u"N/A"_qs);
    EXPECT_FALSE(isNewHigh(rows(), 5));
}

TEST_F(IndicatorTest, AverageVolumeIncludesTodaysVolume)
{
    setVolume(0, u"1200"_qs);
    for (int r = 1; r < 20; ++r)
        setVolume(r, u"1000"_qs);
    setVolume(20, u"999999"_qs); // outside the 20 rows
    EXPECT_DOUBLE_EQ(*averageVolume(rows(), 20), 1010.0);

    // Volumes are leading numbers: N/A counts 0 and is no failure.
    setVolume(7, u"N/A"_qs);
    setVolume(8, u"1000\r"_qs);
    EXPECT_DOUBLE_EQ(*averageVolume(rows(), 20), 960.0);
    EXPECT_TRUE(averageVolume(rows(), 283)); // rows 0..282

    for (const int period : {284, 0, -1})
        EXPECT_FALSE(averageVolume(rows(), period)) << period;
    setVolume(3, kHuge);
    EXPECT_FALSE(averageVolume(rows(), 20));
}

// The engine's pass over a stock: the first failure marks the stock in error, names its routine
// in the log, and the routines after it are skipped.
TEST_F(IndicatorTest, TheFirstFailureIsLoggedAndEndsThePass)
{
    for (int r = 0; r < 250; ++r) {
        setDays(r, r, r + 2, r, r + 1); // the close of row r is r + 1
        setVolume(r, u"1000"_qs);
    }
    m_settings.highestHighDays = m_settings.lowestLowDays = 20;
    calcIndicators(stock());
    ASSERT_FALSE(inError());
    EXPECT_EQ(values().todayVolume, 1000.0);
    EXPECT_EQ(values().movingAverage[0][2], 5.0); // five closes from row 2: 3..7

    struct Spoil
    {
        int row;
        int field;
        const char* label;
    };
    const Spoil spoils[] = {{100, 4, " MA Calc"}, {20, 4, " ROC Calc"}, {1, 2, " Highest High Module"},
        {5, 3, " Lowest Low Module"}, {5, 5, " Volume MA Calc"}, {40, 2, " Stochastic K Calc"}};
    for (const Spoil& spoil : spoils) {
        SCOPED_TRACE(spoil.label);
        const StockState kept = m_state;
        // A close of 0 twenty rows back is a number to the averages but no base for a rate.
        const QString text = spoil.field == 5 ? kHuge : spoil.row == 20 ? u"0"_qs : u"N/A"_qs;
        setField(spoil.row, spoil.field, text);
        calcIndicators(stock());
        EXPECT_TRUE(inError());
        EXPECT_TRUE(log().endsWith(errorNote(spoil.label))) << log().toStdString();
        m_app.log.eraseLog(3);
        m_state = kept;
    }
}

// The alerts use the averages the user chose in the alert settings window; a record the window
// would refuse falls back to the defaults 5, 10, 10, 30, 50 and 200.
TEST_F(IndicatorTest, TheStocksOwnAveragesUnlessTheWindowWouldRefuseThem)
{
    for (int r = 0; r < 250; ++r) {
        setDays(r, r, r + 2, r, r + 1); // the close of row r is r + 1
        setVolume(r, u"1000"_qs);
    }
    const auto todaysAverages = [&] {
        std::array<double, 6> today {};
        for (std::size_t m = 0; m < 6; ++m)
            today[m] = values().movingAverage[m][0];
        return today;
    };
    const auto averageOfFirstRows = [](int n) { return (n + 1) / 2.0; };

    m_settings.averagePeriods = {3, 25, 12, 40, 60, 150};
    calcIndicators(stock());
    ASSERT_FALSE(inError());
    EXPECT_EQ(todaysAverages(),
        (std::array<double, 6> {averageOfFirstRows(3), averageOfFirstRows(25), averageOfFirstRows(12),
            averageOfFirstRows(40), averageOfFirstRows(60), averageOfFirstRows(150)}));

    const std::array<double, 6> defaults {averageOfFirstRows(5), averageOfFirstRows(10),
        averageOfFirstRows(10), averageOfFirstRows(30), averageOfFirstRows(50), averageOfFirstRows(200)};
    for (auto spoil : {+[](AlertSettings& s) { s.averagePeriods[0] = 2; }, // below its range
             +[](AlertSettings& s) { s.averagePeriods[5] = 201; }, // above its range
             +[](AlertSettings& s) { s.averagePeriods[2] = 40; }, // fast not below slow
             +[](AlertSettings& s) { s = {}; }}) { // a record of zeros
        AlertSettings chosen = m_settings;
        spoil(m_settings);
        values() = {};
        calcIndicators(stock());
        EXPECT_EQ(todaysAverages(), defaults);
        m_settings = chosen;
    }
}

// Today's quote changes only today's bar; another day's history, even as long, is read whole.
TEST(ChartDataOf, TakesTodaysRowAloneOnlyWhileTheDaysAreTheSame)
{
    AlertSettings settings;
    applyDefaultAlertSettings(settings);
    std::optional<PriceHistory> history
        = readHistoryTable(QString::fromLatin1(makeHistory(kMonday, 250, 10)));
    ASSERT_TRUE(history);
    // Before a quote, row 0 is the table's heading line and no day.
    ChartData data = chartDataOf(*history, settings);
    ASSERT_EQ(data.bars.size(), 250u);
    EXPECT_EQ(data.bars.back().date, QDate(2026, 12, 4));
    EXPECT_FALSE(data.days.front().movingAverage[0].has_value()); // too few days before it
    EXPECT_TRUE(data.days.back().movingAverage[0].has_value());
    EXPECT_TRUE(data.days[199].movingAverage[5].has_value()); // the 200-day average from the 200th day on
    EXPECT_FALSE(data.days[198].movingAverage[5].has_value());
    // The slow %K stands on 17 days, its %D on 19: from the 17th and the 19th day on.
    EXPECT_FALSE(data.days[15].stochK.has_value());
    EXPECT_TRUE(data.days[16].stochK.has_value());
    EXPECT_FALSE(data.days[17].stochD.has_value());
    EXPECT_TRUE(data.days[18].stochD.has_value());

    const auto setToday = [](PriceHistory& h, const QString& date, double close) {
        h.front() = barFromTexts(
            date, u"10"_qs, QString::number(close + 1), u"9"_qs, QString::number(close), u"500"_qs);
    };
    setToday(*history, u"12/7/2026"_qs, 11);
    updateLastDay(data, *history, settings);
    ASSERT_EQ(data.bars.size(), 251u);
    EXPECT_EQ(data.bars.back().close, 11.0);
    const IndicatorDay yesterday = data.days[249];
    setToday(*history, u"12/7/2026"_qs, 12);
    updateLastDay(data, *history, settings);
    EXPECT_EQ(data.bars.back().close, 12.0);
    EXPECT_EQ(data.days[249].movingAverage, yesterday.movingAverage);
    EXPECT_NE(data.days[250].movingAverage[0], yesterday.movingAverage[0]);

    // The next day: as many rows, all of them a day later.
    std::optional<PriceHistory> next
        = readHistoryTable(QString::fromLatin1(makeHistory(kMonday.addDays(1), 250, 20)));
    ASSERT_TRUE(next);
    setToday(*next, u"12/8/2026"_qs, 21);
    updateLastDay(data, *next, settings);
    EXPECT_EQ(data.bars.size(), 251u);
    EXPECT_EQ(data.bars[249].date, QDate(2026, 12, 7));
    EXPECT_NEAR(data.bars[30].close, 20.0, 1.0);
}

} // namespace
