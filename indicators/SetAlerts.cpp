#include "indicators/SetAlerts.h"

#include "core/Conversions.h"
#include "core/LogTexts.h"
#include "core/VarDef.h"
#include "indicators/IndicatorSupport.h"

namespace {

qint16 flag(bool condition)
{
    return condition ? vbTrue : vbFalse;
}

// Kinds 1..12 and 15: the switch decides whether the flag follows the condition at all.
void follow(AlertEntry& entry, quint8 alertSwitch, bool condition)
{
    if (alertSwitch == 1)
        entry.Triggered = flag(condition);
}

// Crossover of a fast average above (up) or below (down) a slow one since two days back;
// a touch two days back still counts as the side it crossed from.
bool crossedUp(const IndicatorValues& v, int fast, int slow)
{
    const auto& ma = v.MovingAverage;
    return ma[fast][1] > ma[slow][1] && ma[fast][3] <= ma[slow][3];
}

bool crossedDown(const IndicatorValues& v, int fast, int slow)
{
    const auto& ma = v.MovingAverage;
    return ma[fast][1] < ma[slow][1] && ma[fast][3] >= ma[slow][3];
}

} // namespace

void SetAlertFlags()
{
    if (!CurrentStockValid() || gAlertSettings[StockID].Enabled != vbTrue)
        return;
    bool priceUnreadable = false;
    for (int i = 1; i <= kStockCount; ++i) {
        const AlertSettings& s = gAlertSettings[i];
        const IndicatorValues& v = gIndicators[i];
        AlertStates& alert = gAlertState[i];

        follow(alert[1], s.MACond1, crossedUp(v, 1, 2));
        follow(alert[2], s.MACond2, crossedDown(v, 1, 2));
        follow(alert[3], s.MACond3, crossedUp(v, 3, 4));
        follow(alert[4], s.MACond4, crossedDown(v, 3, 4));
        follow(alert[5], s.MACond5, crossedUp(v, 5, 6));
        follow(alert[6], s.MACond6, crossedDown(v, 5, 6));
        follow(alert[7], s.HHAlert, v.NewHigh == vbTrue);
        follow(alert[8], s.LLAlert, v.NewLow == vbTrue);
        follow(alert[9], s.ROCUp, v.RateOfChange > static_cast<double>(s.ROCPlus));
        follow(alert[10], s.ROCDown, v.RateOfChange < static_cast<double>(s.ROCMinus));
        follow(alert[11], s.Stoch80, v.StochK > 80 && v.StochK < v.StochD);
        follow(alert[12], s.Stoch20, v.StochK < 20 && v.StochK > v.StochD);

        // A last price too long to be a number holds no condition; for the stock being
        // evaluated it is also reported, since its price alerts cannot be trusted.
        bool overflow = false;
        const double last = Val(gQuotes[i].Last, &overflow);
        alert[13].Triggered = flag(s.PriceAbove == 1 && !overflow && last > s.MaxPrice);
        alert[14].Triggered = flag(s.PriceBelow == 1 && !overflow && last < s.MinPrice);
        if (overflow && i == StockID)
            priceUnreadable = true;

        follow(alert[15], s.VolumeUp, v.TodayVolume > v.AverageVolume * 1.2);
    }
    if (priceUnreadable)
        TakeCalcErrorPath(LogText::AlertFlagsCalc);
}
