#include "engine/model/Settings.h"

namespace tradevane {

AveragePeriods usableAveragePeriods(const AlertSettings& s)
{
    const AveragePeriods& p = s.averagePeriods;
    bool usable = p[1] > p[0] && p[3] > p[2] && p[5] > p[4];
    for (std::size_t i = 0; i < p.size(); ++i)
        usable = usable && p[i] >= kAveragePeriodRanges[i].low && p[i] <= kAveragePeriodRanges[i].high;
    return usable ? p : kDefaultAveragePeriods;
}

void applyDefaultAlertSettings(AlertSettings& s)
{
    using K = AlertKind;
    s.repeatAlerts = false;
    s.alertsOn = {};
    for (const K kind :
        {K::ShortCrossUp, K::MediumCrossUp, K::LongCrossUp, K::HighestHigh, K::LowestLow, K::VolumeSurge})
        s.on(kind) = true;
    s.averagePeriods = kDefaultAveragePeriods;
    s.highestHighDays = s.lowestLowDays = 20;
    s.rateOfChangeAbove = 10;
    s.rateOfChangeBelow = 0;
    s.priceAbove = s.priceBelow = 0.0;
}

} // namespace tradevane
