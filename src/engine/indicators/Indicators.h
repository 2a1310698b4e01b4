#pragma once

#include "engine/model/StockState.h"

#include <QString>

namespace tradevane {

// The indicators of one day, row 0 of `rows` being the day computed for, in their fixed order: the
// six moving averages (the stock's own periods), the 21-day rate of change, the N-day high and
// low, the 20-day volume average and the slow stochastic. Each result goes into `values` as it is
// computed; at the first that fails the ones after it are skipped and the label of the failed
// routine (LogText::kMaCalc ...) is given. Empty when every one was computed.
QString computeIndicators(const PriceRows& rows, const AlertSettings& settings, IndicatorValues& values);

// The indicators of one stock over its history (computeIndicators); one that fails marks the stock
// in error through the indicator error path.
void calcIndicators(StockContext& stock);

// The days of the rate of change and of the volume average.
constexpr int kRateOfChangePeriod = 21;
constexpr int kVolumePeriod = 20;

} // namespace tradevane
