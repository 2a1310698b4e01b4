#pragma once

#include "engine/model/PriceHistory.h"

#include <optional>

namespace tradevane {

// The average volume of `period` rows from today on (20 for the volume alert). No value when the
// period is below 1, a volume is too large for a double or lies beyond the history, or the sum
// overflows.
std::optional<double> averageVolume(const PriceRows& rows, int period);

} // namespace tradevane
