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
        entry.triggered = condition;
}

// Crossover of a fast average above (up) or below (down) a slow one since two days back;
// a touch two days back still counts as the side it crossed from.
bool crossedUp(const IndicatorValues& v, int fast, int slow)
{
    const auto& ma = v.movingAverage;
    return ma[fast][0] > ma[slow][0] && ma[fast][2] <= ma[slow][2];
}

bool crossedDown(const IndicatorValues& v, int fast, int slow)
{
    const auto& ma = v.movingAverage;
    return ma[fast][0] < ma[slow][0] && ma[fast][2] >= ma[slow][2];
}

} // namespace

bool updateAlertFlags(
    const AlertSettings& s, const IndicatorValues& v, std::optional<double> last, AlertStates& alert)
{
    using K = AlertKind;
    follow(alert[K::ShortCrossUp], s.on(K::ShortCrossUp), crossedUp(v, 0, 1));
    follow(alert[K::ShortCrossDown], s.on(K::ShortCrossDown), crossedDown(v, 0, 1));
    follow(alert[K::MediumCrossUp], s.on(K::MediumCrossUp), crossedUp(v, 2, 3));
    follow(alert[K::MediumCrossDown], s.on(K::MediumCrossDown), crossedDown(v, 2, 3));
    follow(alert[K::LongCrossUp], s.on(K::LongCrossUp), crossedUp(v, 4, 5));
    follow(alert[K::LongCrossDown], s.on(K::LongCrossDown), crossedDown(v, 4, 5));
    follow(alert[K::HighestHigh], s.on(K::HighestHigh), v.newHigh);
    follow(alert[K::LowestLow], s.on(K::LowestLow), v.newLow);
    follow(alert[K::RateOfChangeAbove], s.on(K::RateOfChangeAbove), v.rateOfChange > s.rateOfChangeAbove);
    follow(alert[K::RateOfChangeBelow], s.on(K::RateOfChangeBelow), v.rateOfChange < s.rateOfChangeBelow);
    follow(alert[K::StochasticAbove80], s.on(K::StochasticAbove80), v.stochK > 80 && v.stochK < v.stochD);
    follow(alert[K::StochasticBelow20], s.on(K::StochasticBelow20), v.stochK < 20 && v.stochK > v.stochD);
    alert[K::PriceAbove].triggered = s.on(K::PriceAbove) && last && *last > s.priceAbove;
    alert[K::PriceBelow].triggered = s.on(K::PriceBelow) && last && *last < s.priceBelow;
    follow(alert[K::VolumeSurge], s.on(K::VolumeSurge), v.todayVolume > v.averageVolume * 1.2);
    return last.has_value();
}

void setAlertFlags(StockContext& stock)
{
    if (!stock.settings.watched())
        return;
    // A last price too long to be a number, or in exponent form, holds no condition, and is
    // reported, since the stock's price alerts cannot be trusted.
    bool invalid = false;
    const double last = val(stock.state.quote.last, &invalid);
    if (!updateAlertFlags(stock.settings, stock.state.indicators,
            invalid ? std::nullopt : std::optional(last), stock.state.alerts))
        takeCalcErrorPath(stock, LogText::kAlertFlagsCalc);
}

} // namespace tradevane
