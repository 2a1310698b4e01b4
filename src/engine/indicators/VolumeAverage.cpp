#include "engine/indicators/VolumeAverage.h"

#include <cmath>

namespace tradevane {

std::optional<double> averageVolume(const PriceRows& rows, int period)
{
    if (period < 1)
        return std::nullopt;
    double sum = 0.0;
    for (int row = 0; row < period; ++row) {
        const std::optional<double> volume = rows.volume(row);
        if (!volume)
            return std::nullopt;
        sum += *volume;
    }
    const double average = sum / period;
    if (!std::isfinite(average))
        return std::nullopt;
    return average;
}

} // namespace tradevane
