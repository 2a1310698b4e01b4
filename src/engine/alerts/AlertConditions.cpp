#include "engine/alerts/AlertConditions.h"

#include "engine/indicators/IndicatorSupport.h"
#include "engine/log/LogTexts.h"
#include "platform/Conversions.h"

namespace tradevane {

namespace {

// The switch decides whether the flag follows the condition at all.
void follow(AlertEntry& entry, bool alertOn, bool condition)
{
    if (alertOn)
        entry.Triggered = condition;
}

// Crossover of a fast average above (up) or below (down) a slow one since two days back;
// a touch two days back still counts as the side it crossed from.
bool crossedUp(const IndicatorValues& v, int fast, int slow)
{
    const auto& ma = v.MovingAverage;
    return ma[fast][0] > ma[slow][0] && ma[fast][2] <= ma[slow][2];
}

bool crossedDown(const IndicatorValues& v, int fast, int slow)
{
    const auto& ma = v.MovingAverage;
    return ma[fast][0] < ma[slow][0] && ma[fast][2] >= ma[slow][2];
}

} // namespace

void SetAlertFlags(StockContext& stock)
{
    const AlertSettings& s = stock.settings;
    if (!s.watched())
        return;
    const IndicatorValues& v = stock.state.indicators;
    AlertStates& alert = stock.state.alerts;
    using K = AlertKind;

    follow(alert[K::ShortCrossUp], s.on(K::ShortCrossUp), crossedUp(v, 0, 1));
    follow(alert[K::ShortCrossDown], s.on(K::ShortCrossDown), crossedDown(v, 0, 1));
    follow(alert[K::MediumCrossUp], s.on(K::MediumCrossUp), crossedUp(v, 2, 3));
    follow(alert[K::MediumCrossDown], s.on(K::MediumCrossDown), crossedDown(v, 2, 3));
    follow(alert[K::LongCrossUp], s.on(K::LongCrossUp), crossedUp(v, 4, 5));
    follow(alert[K::LongCrossDown], s.on(K::LongCrossDown), crossedDown(v, 4, 5));
    follow(alert[K::HighestHigh], s.on(K::HighestHigh), v.NewHigh);
    follow(alert[K::LowestLow], s.on(K::LowestLow), v.NewLow);
    follow(alert[K::RateOfChangeAbove], s.on(K::RateOfChangeAbove), v.RateOfChange > s.rateOfChangeAbove);
    follow(alert[K::RateOfChangeBelow], s.on(K::RateOfChangeBelow), v.RateOfChange < s.rateOfChangeBelow);
    follow(alert[K::StochasticAbove80], s.on(K::StochasticAbove80), v.StochK > 80 && v.StochK < v.StochD);
    follow(alert[K::StochasticBelow20], s.on(K::StochasticBelow20), v.StochK < 20 && v.StochK > v.StochD);

    // A last price too long to be a number holds no condition, and is reported, since the
    // stock's price alerts cannot be trusted.
    bool overflow = false;
    const double last = Val(stock.state.quote.Last, &overflow);
    alert[K::PriceAbove].Triggered = s.on(K::PriceAbove) && !overflow && last > s.priceAbove;
    alert[K::PriceBelow].Triggered = s.on(K::PriceBelow) && !overflow && last < s.priceBelow;

    follow(alert[K::VolumeSurge], s.on(K::VolumeSurge), v.TodayVolume > v.AverageVolume * 1.2);
    if (overflow)
        TakeCalcErrorPath(stock, LogText::AlertFlagsCalc);
}

} // namespace tradevane
