#include "engine/indicators/MovingAverage.h"

#include <cmath>

namespace tradevane {

std::optional<double> movingAverage(const PriceRows& rows, int period, int day)
{
    // With no rows there is nothing to average (0 / 0).
    if (period < 1)
        return std::nullopt;
    double sum = 0.0;
    for (int row = day; row < day + period; ++row) {
        const std::optional<double> close = rows.close(row);
        if (!close)
            return std::nullopt;
        sum += *close;
    }
    const double average = sum / period;
    if (!std::isfinite(average))
        return std::nullopt;
    return average;
}

} // namespace tradevane
