#pragma once

#include "engine/model/PriceHistory.h"

#include <optional>

namespace tradevane {

// The change in percent from the close of row period - 1 to today's close (the 21-day rate of
// change takes a period of 21). No value when either close is not a number or lies beyond the
// history, the earlier close is 0 (a history too short), or the rate overflows.
std::optional<double> rateOfChange(const PriceRows& rows, int period);

} // namespace tradevane
