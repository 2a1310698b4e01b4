#pragma once

#include "engine/model/PriceHistory.h"

#include <optional>

namespace tradevane {

// The simple moving average of the close over `period` rows, the first of them `day` (0: today,
// 1: yesterday). No value when the period is below 1, a close is not a number or lies beyond the
// history, or the sum overflows.
std::optional<double> movingAverage(const PriceRows& rows, int period, int day = 0);

} // namespace tradevane
