#include "engine/alerts/AlertConditions.h"

#include "engine/indicators/IndicatorSupport.h"
#include "engine/log/LogTexts.h"
#include "platform/Conversions.h"
#include "platform/RecordFile.h"

namespace {

// The switch decides whether the flag follows the condition at all.
void follow(AlertEntry& entry, quint8 alertSwitch, bool condition)
{
    if (alertSwitch == 1)
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
    if (!IsTrue(s.Enabled))
        return;
    const IndicatorValues& v = stock.state.indicators;
    AlertStates& alert = stock.state.alerts;
    using K = AlertKind;

    follow(alert[K::ShortCrossUp], s.MACond1, crossedUp(v, 0, 1));
    follow(alert[K::ShortCrossDown], s.MACond2, crossedDown(v, 0, 1));
    follow(alert[K::MediumCrossUp], s.MACond3, crossedUp(v, 2, 3));
    follow(alert[K::MediumCrossDown], s.MACond4, crossedDown(v, 2, 3));
    follow(alert[K::LongCrossUp], s.MACond5, crossedUp(v, 4, 5));
    follow(alert[K::LongCrossDown], s.MACond6, crossedDown(v, 4, 5));
    follow(alert[K::HighestHigh], s.HHAlert, v.NewHigh);
    follow(alert[K::LowestLow], s.LLAlert, v.NewLow);
    follow(alert[K::RateOfChangeAbove], s.ROCUp, v.RateOfChange > static_cast<double>(s.ROCPlus));
    follow(alert[K::RateOfChangeBelow], s.ROCDown, v.RateOfChange < static_cast<double>(s.ROCMinus));
    follow(alert[K::StochasticAbove80], s.Stoch80, v.StochK > 80 && v.StochK < v.StochD);
    follow(alert[K::StochasticBelow20], s.Stoch20, v.StochK < 20 && v.StochK > v.StochD);

    // A last price too long to be a number holds no condition, and is reported, since the
    // stock's price alerts cannot be trusted.
    bool overflow = false;
    const double last = Val(stock.state.quote.Last, &overflow);
    alert[K::PriceAbove].Triggered = s.PriceAbove == 1 && !overflow && last > s.MaxPrice;
    alert[K::PriceBelow].Triggered = s.PriceBelow == 1 && !overflow && last < s.MinPrice;

    follow(alert[K::VolumeSurge], s.VolumeUp, v.TodayVolume > v.AverageVolume * 1.2);
    if (overflow)
        TakeCalcErrorPath(stock, LogText::AlertFlagsCalc);
}
