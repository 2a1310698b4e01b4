#include "engine/model/Settings.h"

std::array<qint16, 6> MovingAveragePeriods(const AlertSettings& s)
{
    const std::array<qint16, 6> stored {
        s.ShortMAFast, s.ShortMASlow, s.MedMAFast, s.MedMASlow, s.LongMAFast, s.LongMASlow};
    bool usable = stored[1] > stored[0] && stored[3] > stored[2] && stored[5] > stored[4];
    for (std::size_t box = 0; box < stored.size(); ++box)
        usable = usable && stored[box] >= kMovingAveragePeriodRanges[box].low
            && stored[box] <= kMovingAveragePeriodRanges[box].high;
    return usable ? stored : kDefaultMovingAveragePeriods;
}

void SetMovingAveragePeriods(AlertSettings& s, const std::array<qint16, 6>& periods)
{
    s.ShortMAFast = periods[0];
    s.ShortMASlow = periods[1];
    s.MedMAFast = periods[2];
    s.MedMASlow = periods[3];
    s.LongMAFast = periods[4];
    s.LongMASlow = periods[5];
}
