#pragma once

#include "engine/model/StockState.h"

namespace tradevane {

// The indicators of one stock over its history, in their fixed order: the six moving averages
// (the stock's own periods), the 21-day rate of change, the N-day high and low, the 20-day
// volume average and the slow stochastic. One that fails marks the stock in error, and the ones
// after it are skipped.
void calcIndicators(StockContext& stock);

// The days of the rate of change and of the volume average.
constexpr int kRateOfChangePeriod = 21;
constexpr int kVolumePeriod = 20;

} // namespace tradevane
