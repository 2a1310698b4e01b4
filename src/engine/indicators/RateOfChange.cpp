#include "engine/indicators/RateOfChange.h"

#include <cmath>

namespace tradevane {

std::optional<double> rateOfChange(const PriceRows& rows, int period)
{
    const std::optional<double> today = rows.close(0);
    const std::optional<double> past = rows.close(period - 1);
    if (!today || !past || *past == 0.0)
        return std::nullopt;
    const double rate = (*today - *past) / *past * 100.0;
    if (!std::isfinite(rate))
        return std::nullopt;
    return rate;
}

} // namespace tradevane
