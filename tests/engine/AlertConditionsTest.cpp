#include "IndicatorFixture.h"

#include "engine/alerts/AlertConditions.h"

using namespace tradevane;

namespace {

// Stock 3 is enabled with every switch on; flags are read back per kind.
class AlertFlags : public IndicatorTest
{
protected:
    void SetUp() override
    {
        IndicatorTest::SetUp();
        AlertSettings& s = m_settings;
        s.alertsOn.fill(true);
        s.rateOfChangeAbove = 5;
        s.rateOfChangeBelow = -5;
        s.priceAbove = 20.0;
        s.priceBelow = 10.0;
        m_state.quote.last = u"15"_qs;
    }

    // Kinds numbered 1..15 in their order.
    bool triggered(int kind) const { return m_state.alerts[static_cast<AlertKind>(kind - 1)].triggered; }
    // Today's and two days back's value of average m (1..6); the day in between is set far off,
    // as it takes no part.
    void setAverage(int m, double today, double twoDaysBack)
    {
        values().movingAverage[static_cast<std::size_t>(m - 1)] = {today, 1000.0, twoDaysBack};
    }
};

// Kinds 1 and 2 from averages 1 (fast) and 2 (slow, 10.0 on both days).
TEST_F(AlertFlags, CrossoverComparesTodayWithTwoDaysBack)
{
    const struct
    {
        double today, twoDaysBack;
        bool up, down;
    } cases[]
        = {{10.2, 9.9, true, false}, {10.2, 10.0, true, false}, // touching two days back counts as below
            {10.0, 9.9, false, false}, // touching today is not above
            {9.8, 10.0, false, true}, {10.0, 10.1, false, false}};
    setAverage(2, 10.0, 10.0);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.today << " " << c.twoDaysBack);
        setAverage(1, c.today, c.twoDaysBack);
        setAlertFlags(stock());
        EXPECT_EQ(triggered(1), c.up);
        EXPECT_EQ(triggered(2), c.down);
    }
}

TEST_F(AlertFlags, EachCrossoverKindUsesItsOwnPair)
{
    setAverage(3, 5.0, 4.0); // medium pair crosses up
    setAverage(4, 4.5, 4.5);
    setAverage(5, 4.0, 5.0); // long pair crosses down
    setAverage(6, 4.5, 4.5);
    setAlertFlags(stock());
    const bool expected[] = {false, false, false, true, false, false, true};
    for (int kind = 1; kind <= 6; ++kind)
        EXPECT_EQ(triggered(kind), expected[kind]) << kind;
}

TEST_F(AlertFlags, StrictLimitsForRateOfChangeStochasticAndVolume)
{
    struct Case
    {
        const char* what;
        int kind;
        double IndicatorValues::*field;
        double value;
        bool expected;
    };
    const Case cases[] = {
        {"ROC 5.0 vs +5", 9, &IndicatorValues::rateOfChange, 5.0, false},
        {"ROC 5.01 vs +5", 9, &IndicatorValues::rateOfChange, 5.01, true},
        {"ROC -5.0 vs -5", 10, &IndicatorValues::rateOfChange, -5.0, false},
        {"ROC -5.01 vs -5", 10, &IndicatorValues::rateOfChange, -5.01, true},
        {"volume 1200 vs 1000 * 1.2", 15, &IndicatorValues::todayVolume, 1200.0, false},
        {"volume 1201 vs 1000 * 1.2", 15, &IndicatorValues::todayVolume, 1201.0, true},
    };
    values().averageVolume = 1000.0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        values().*c.field = c.value;
        setAlertFlags(stock());
        EXPECT_EQ(triggered(c.kind), c.expected);
    }

    const struct
    {
        double k, d;
        bool above80, below20;
    } stochastic[] = {{85, 88, true, false}, {85, 85, false, false}, {80, 88, false, false},
        {15, 12, false, true}, {15, 15, false, false}, {20, 12, false, false}};
    for (const auto& s : stochastic) {
        SCOPED_TRACE(testing::Message() << "K " << s.k << " D " << s.d);
        values().stochK = s.k;
        values().stochD = s.d;
        setAlertFlags(stock());
        EXPECT_EQ(triggered(11), s.above80);
        EXPECT_EQ(triggered(12), s.below20);
    }
}

TEST_F(AlertFlags, PriceLimitsUseTheLeadingNumberOfTheLastPrice)
{
    // Limits 20 and 10; "N/A" reads 0, below any positive limit.
    const std::tuple<QString, bool, bool> cases[] = {{u"20.01 "_qs, true, false}, {u"20"_qs, false, false},
        {u"9.99x"_qs, false, true}, {u"N/A"_qs, false, true}};
    for (const auto& [last, above, below] : cases) {
        m_state.quote.last = last;
        setAlertFlags(stock());
        EXPECT_EQ(triggered(13), above) << last.toStdString();
        EXPECT_EQ(triggered(14), below) << last.toStdString();
    }
}

TEST_F(AlertFlags, SwitchOffKeepsTheFlagExceptForPriceLimits)
{
    values().rateOfChange = 50.0;
    values().newHigh = true;
    m_state.quote.last = u"25"_qs;
    setAlertFlags(stock());
    ASSERT_TRUE(triggered(9));
    ASSERT_TRUE(triggered(7));
    ASSERT_TRUE(triggered(13));

    // A switched-off alert keeps its flag, apart from the price alerts, which are cleared.
    m_settings.on(AlertKind::RateOfChangeAbove) = false;
    m_settings.on(AlertKind::HighestHigh) = false;
    m_settings.on(AlertKind::PriceAbove) = false;
    values().rateOfChange = 0.0;
    values().newHigh = false;
    setAlertFlags(stock());
    EXPECT_TRUE(triggered(9));
    EXPECT_TRUE(triggered(7));
    EXPECT_FALSE(triggered(13)); // off: false even though 25 is above 20
}

TEST_F(AlertFlags, OnlyAWatchedStockIsEvaluated)
{
    values().rateOfChange = 12.0;
    for (const Watch watch : {Watch::Off, Watch::Unclear}) {
        m_settings.watch = watch;
        setAlertFlags(stock());
        EXPECT_FALSE(triggered(9));
    }
}

TEST_F(AlertFlags, LastPriceTooLongToReadHoldsNoPriceCondition)
{
    const QString huge = u"1"_qs + QString(400, u'0');
    m_state.alerts[AlertKind::PriceAbove].triggered = true;
    m_state.quote.last = huge;
    setAlertFlags(stock());
    EXPECT_FALSE(triggered(13));
    EXPECT_FALSE(triggered(14));
    EXPECT_TRUE(inError());
    EXPECT_EQ(log(), errorNote(" Alert Flags"));
}

} // namespace
