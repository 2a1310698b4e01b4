#include "IndicatorFixture.h"

#include "engine/forms/AlertEntries.h"
#include "engine/indicators/Indicators.h"

#include "engine/indicators/HighLowBreakout.h"
#include "engine/indicators/MovingAverage.h"
#include "engine/indicators/RateOfChange.h"
#include "engine/indicators/Stochastic.h"
#include "engine/indicators/VolumeAverage.h"

namespace {

const QString kHuge = u"1"_qs + QString(400, u'0'); // no double holds it
const QString kNearMax = u"9"_qs + QString(307, u'0'); // 9e307: finite, but two of them overflow

// ---------------------------------------------------------------- moving averages

using MovingAverages = IndicatorTest;

TEST_F(MovingAverages, ThreeDaysEndWithTodayYesterdayAndTwoDaysBack)
{
    for (int r = 0; r <= 6; ++r)
        setClose(r, QString::number(10 + r));
    CalcMovingAverages(stock(), 5, 1);
    EXPECT_EQ(values().MovingAverage[0][0], 12.0);
    EXPECT_EQ(values().MovingAverage[0][1], 13.0);
    EXPECT_EQ(values().MovingAverage[0][2], 14.0);
    EXPECT_EQ(values().MovingAverage[1][0], 0.0);

    // An average number outside 1..6 is computed but stored nowhere.
    const IndicatorValues before = values();
    CalcMovingAverages(stock(), 5, 7);
    CalcMovingAverages(stock(), 5, 0);
    EXPECT_EQ(values().MovingAverage, before.MovingAverage);
    EXPECT_FALSE(inError());
}

TEST_F(MovingAverages, ShortHistoryAveragesEmptyRowsAsZero)
{
    // Ten days of history, the way the parser and the cycle leave the texts.
    setClose(0, u"100"_qs);
    for (int r = 1; r <= 9; ++r)
        setClose(r, r % 2 ? u" 100\r"_qs : u"100.00"_qs);
    CalcMovingAverages(stock(), 200, 6);
    EXPECT_DOUBLE_EQ(values().MovingAverage[5][0], 5.0);
    EXPECT_DOUBLE_EQ(values().MovingAverage[5][1], 4.5);
    EXPECT_DOUBLE_EQ(values().MovingAverage[5][2], 4.0);
    EXPECT_FALSE(inError());
}

TEST_F(MovingAverages, CloseThatIsNotANumberKeepsEarlierDaysAndLogs)
{
    for (int r = 0; r <= 6; ++r)
        setClose(r, QString::number(10 + r));
    setClose(6, u"N/A"_qs); // read only by day 3
    values().MovingAverage[0][2] = 99.0;
    CalcMovingAverages(stock(), 5, 1);
    EXPECT_EQ(values().MovingAverage[0][0], 12.0);
    EXPECT_EQ(values().MovingAverage[0][1], 13.0);
    EXPECT_EQ(values().MovingAverage[0][2], 99.0);
    EXPECT_TRUE(inError());
    EXPECT_EQ(log(), errorNote(" MA Calc"));
    EXPECT_TRUE(app.log.pending().isEmpty());
}

TEST_F(MovingAverages, RowsBeyondTheHistoryNoRowsAndOverflowAreErrors)
{
    CalcMovingAverages(stock(), 281, 1); // day 3 reads rows 2..282, the last close slot (1696)
    EXPECT_FALSE(inError());

    const std::pair<qint16, QString> failing[]
        = {{282, u"period 282 reads row 283"_qs}, {0, u"period 0"_qs}, {-5, u"negative period"_qs}};
    for (const auto& [period, what] : failing) {
        SCOPED_TRACE(what.toStdString());
        state.downloadError = false;
        CalcMovingAverages(stock(), period, 1);
        EXPECT_TRUE(inError());
    }

    for (const QString& text : {kHuge, kNearMax}) {
        state.downloadError = false;
        for (int r = 0; r < 200; ++r)
            setClose(r, text);
        values().MovingAverage[5][0] = 1.0;
        CalcMovingAverages(stock(), 200, 6);
        EXPECT_TRUE(inError());
        EXPECT_EQ(values().MovingAverage[5][0], 1.0);
    }
}

// ---------------------------------------------------------------- rate of change

using RateOfChange = IndicatorTest;

TEST_F(RateOfChange, TodayAgainstTheClose20RowsBack)
{
    setClose(20, u"100"_qs);
    setClose(0, u"110"_qs);
    CalcROC(stock(), 21);
    EXPECT_DOUBLE_EQ(values().RateOfChange, 10.0);
    setClose(0, u"90"_qs);
    CalcROC(stock(), 21);
    EXPECT_DOUBLE_EQ(values().RateOfChange, -10.0);
    CalcROC(stock(), 1); // row 0 against itself
    EXPECT_EQ(values().RateOfChange, 0.0);
    EXPECT_FALSE(inError());
}

TEST_F(RateOfChange, NoUsableCloseBackThenKeepsThePreviousValue)
{
    const QString cases[] = {u""_qs, u"0.00"_qs, u"N/A"_qs};
    setClose(0, u"110"_qs);
    for (const QString& back : cases) {
        SCOPED_TRACE(back.toStdString());
        state.downloadError = false;
        setClose(20, back);
        values().RateOfChange = 7.5;
        CalcROC(stock(), 21);
        EXPECT_TRUE(inError());
        EXPECT_EQ(values().RateOfChange, 7.5);
    }
    EXPECT_EQ(log(), errorNote(" ROC Calc") + errorNote(" ROC Calc") + errorNote(" ROC Calc"));

    setClose(20, u"100"_qs);
    for (qint16 period : {0, -3, 284}) {
        state.downloadError = false;
        CalcROC(stock(), period);
        EXPECT_TRUE(inError()) << period;
    }
    // A tiny close back then makes a rate no double holds.
    state.downloadError = false;
    setClose(0, kNearMax);
    setClose(20, u"0."_qs + QString(300, u'0') + u"1"_qs);
    CalcROC(stock(), 21);
    EXPECT_TRUE(inError());
    EXPECT_EQ(values().RateOfChange, 7.5);
}

// ---------------------------------------------------------------- slow stochastic

class SlowStochastic : public IndicatorTest
{
protected:
    void calculate()
    {
        CalcFastK(stock(), work);
        CalcSlowK(stock(), work);
        CalcSlowD(stock(), work);
    }
};

TEST_F(SlowStochastic, CloseAtTheHighestHighIs100AndAtTheLowestLow0)
{
    setDays(0, 43, 20, 10, 15);
    setDays(0, 2, 20, 10, 20);
    calculate();
    EXPECT_DOUBLE_EQ(values().StochK, 100.0);

    setDays(0, 2, 20, 10, 10);
    calculate();
    EXPECT_DOUBLE_EQ(values().StochK, 0.0);
    EXPECT_FALSE(inError());
}

TEST_F(SlowStochastic, SlowKAveragesThreeRowsAndSlowDThreeSlowK)
{
    // With every high 100 and low 0 the raw %K of a row is its close.
    setDays(0, 45, 100, 0, 0);
    const int closes[] = {50, 60, 70, 80, 90, 100, 100};
    for (int r = 0; r < 7; ++r)
        setClose(r, QString::number(closes[r]));
    calculate();
    EXPECT_DOUBLE_EQ(values().StochK, 60.0);
    EXPECT_DOUBLE_EQ(values().StochD, 70.0);

    // One row and two rows later the same closes give the next slow %K values.
    for (int shift = 1; shift <= 2; ++shift) {
        for (int r = 0; r < 7 - shift; ++r)
            setClose(r, QString::number(closes[r + shift]));
        calculate();
        EXPECT_DOUBLE_EQ(values().StochK, 60.0 + 10 * shift);
    }
    EXPECT_FALSE(inError());
}

TEST_F(SlowStochastic, FlatWindowIsADivisionByZero)
{
    setDays(0, 43, 12, 8, 10);
    setDays(20, 34, 10, 10, 10); // a suspended stock: the window of row 20 has no range
    values().StochK = 42.0;
    CalcFastK(stock(), work);
    EXPECT_TRUE(inError());
    EXPECT_EQ(log(), errorNote(" Stochastic K Calc"));
    EXPECT_EQ(values().StochK, 42.0);
}

TEST_F(SlowStochastic, OnlyRowsZeroTo43AreRead)
{
    setDays(0, 43, 12, 8, 10);
    setLow(44, u"N/A"_qs);
    setClose(30, u"N/A"_qs); // the closes of rows 30.. are never used
    calculate();
    EXPECT_FALSE(inError());

    setHigh(43, u"N/A"_qs);
    CalcFastK(stock(), work);
    EXPECT_TRUE(inError());
    EXPECT_EQ(log(), errorNote(" Stochastic K Calc"));
}

TEST_F(SlowStochastic, PricesAtEitherEndOfTheScale)
{
    // A stock trading above 9999 is measured against its own lowest low.
    setDays(0, 43, 21000, 19000, 20500);
    calculate();
    EXPECT_DOUBLE_EQ(values().StochK, 75.0);

    // Highs of 0.01 or less leave the highest high at 0.01.
    setDays(0, 43, 0.008, 0.002, 0.005);
    calculate();
    EXPECT_DOUBLE_EQ(values().StochK, 37.5);

    // No history at all: every window reads 0 rather than failing.
    state.history.fill({});
    calculate();
    EXPECT_EQ(values().StochK, 0.0);
    EXPECT_EQ(values().StochD, 0.0);
    EXPECT_FALSE(inError());
}

TEST_F(SlowStochastic, SlowKThatOverflowsTakesItsOwnPath)
{
    // Raw %K of 9e307 each: finite, but three of them do not add up in a double.
    setDays(0, 43, 1, 0, 0);
    for (int r = 0; r < 30; ++r)
        setClose(r, kNearMax.chopped(2));
    CalcFastK(stock(), work);
    ASSERT_FALSE(inError());
    values().StochK = 42.0;
    CalcSlowK(stock(), work);
    EXPECT_TRUE(inError());
    EXPECT_EQ(values().StochK, 42.0);
    EXPECT_EQ(log(), errorNote(" Stochastic %K Calc"));
}

// ---------------------------------------------------------------- breakout

using Breakout = IndicatorTest;

// Today's high (low) against the highs (lows) of the last `days` days before it: strictly
// beyond every one, compared as numbers ("9.5" sorts after "10.25" as text).
TEST_F(Breakout, NewHighOrLowMustBeStrictlyBeyondEveryDay)
{
    struct Case
    {
        bool low;
        qint16 days;
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
        state.history.fill({});
        for (int r = 0; r < c.rows.size(); ++r)
            setField(r, c.low ? 3 : 2, c.rows[r]);
        settings.highestHighDays = settings.lowestLowDays = c.days;
        bool& flag = c.low ? values().NewLow : values().NewHigh;
        flag = !c.expected;
        c.low ? CheckLowestLow(stock()) : CheckHighestHigh(stock());
        EXPECT_EQ(flag, c.expected);
    }
    EXPECT_FALSE(inError());
}

TEST_F(Breakout, UnreadableDayKeepsTheFlagAndLogsItsModule)
{
    settings.highestHighDays = 5;
    settings.lowestLowDays = 5;
    setHigh(0, u"11"_qs);
    setLow(0, u"9"_qs);
    setDays(1, 5, 10, 10, 10);
    setHigh(3, u"N/A"_qs);
    setLow(4, u"10,5"_qs);
    values().NewHigh = true;
    values().NewLow = true;
    CheckHighestHigh(stock());
    CheckLowestLow(stock());
    EXPECT_TRUE(values().NewHigh);
    EXPECT_TRUE(values().NewLow);
    EXPECT_EQ(log(), errorNote(" Highest High Module") + errorNote(" Lowest Low Module"));
}

TEST_F(Breakout, DayCountReachesRow283AtMost)
{
    setHigh(0, u"100"_qs);
    for (int r = 1; r <= 283; ++r)
        setHigh(r, u"50"_qs);
    settings.highestHighDays = 283; // high of row 283 is slot 1700, the last one
    CheckHighestHigh(stock());
    EXPECT_TRUE(values().NewHigh);
    EXPECT_FALSE(inError());

    settings.highestHighDays = 284;
    CheckHighestHigh(stock());
    EXPECT_TRUE(inError());
    EXPECT_TRUE(values().NewHigh);
}

// ---------------------------------------------------------------- volume

using Volume = IndicatorTest;

TEST_F(Volume, AverageIncludesTodaysVolume)
{
    setVolume(0, u"1200"_qs);
    for (int r = 1; r < 20; ++r)
        setVolume(r, u"1000"_qs);
    setVolume(20, u"999999"_qs); // outside the 20 rows
    CalcVolumeAverage(stock(), 20);
    EXPECT_EQ(values().TodayVolume, 1200.0);
    EXPECT_DOUBLE_EQ(values().AverageVolume, 1010.0);

    // Volumes are leading numbers: N/A counts 0 and is no failure.
    setVolume(7, u"N/A"_qs);
    setVolume(8, u"1000\r"_qs);
    CalcVolumeAverage(stock(), 20);
    EXPECT_DOUBLE_EQ(values().AverageVolume, 960.0);
    EXPECT_FALSE(inError());
}

TEST_F(Volume, FailuresKeepBothValues)
{
    CalcVolumeAverage(stock(), 283); // rows 0..282, the last volume slot (1697)
    EXPECT_FALSE(inError());

    setVolume(0, u"1200"_qs);
    setVolume(3, kHuge);
    values().TodayVolume = 5.0;
    values().AverageVolume = 6.0;
    for (qint16 period : {20, 284, 0, -1}) {
        state.downloadError = false;
        CalcVolumeAverage(stock(), period);
        EXPECT_TRUE(inError()) << period;
        EXPECT_EQ(values().TodayVolume, 5.0);
        EXPECT_EQ(values().AverageVolume, 6.0);
    }
    EXPECT_TRUE(log().startsWith(errorNote(" Volume MA Calc")));
}

// ---------------------------------------------------------------- all of them

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
            today[m] = values().MovingAverage[m][0];
        return today;
    };
    const auto averageOfFirstRows = [](int n) { return (n + 1) / 2.0; };

    settings.averagePeriods = {3, 25, 12, 40, 60, 150};
    CalcIndicators(stock());
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
        AlertSettings chosen = settings;
        spoil(settings);
        values() = {};
        CalcIndicators(stock());
        EXPECT_EQ(todaysAverages(), defaults);
        settings = chosen;
    }
}

} // namespace
