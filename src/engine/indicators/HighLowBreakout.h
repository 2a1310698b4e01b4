#pragma once

#include "engine/model/PriceHistory.h"

#include <optional>

namespace tradevane {

// New N-day high and low: whether today's high is strictly above the high of each of the last
// `days` rows (today's low strictly below each low). A day count of 0 or less gives false. No
// value when a price read is not a number or lies beyond the history; the rows are read from
// yesterday back and only until one is not beaten.
std::optional<bool> isNewHigh(const PriceRows& rows, int days);
std::optional<bool> isNewLow(const PriceRows& rows, int days);

} // namespace tradevane
