#include "engine/indicators/HighLowBreakout.h"

namespace tradevane {

namespace {

std::optional<bool> beatsLastDays(
    const PriceRows& rows, std::optional<double> (PriceRows::*price)(int) const, int days, bool above)
{
    bool result = false;
    for (int row = 1; row <= days; ++row) {
        const std::optional<double> today = (rows.*price)(0);
        const std::optional<double> before = (rows.*price)(row);
        if (!today || !before)
            return std::nullopt;
        result = above ? *today > *before : *today < *before;
        if (!result)
            break;
    }
    return result;
}

} // namespace

std::optional<bool> isNewHigh(const PriceRows& rows, int days)
{
    return beatsLastDays(rows, &PriceRows::high, days, true);
}

std::optional<bool> isNewLow(const PriceRows& rows, int days)
{
    return beatsLastDays(rows, &PriceRows::low, days, false);
}

} // namespace tradevane
