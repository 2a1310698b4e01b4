#pragma once

#include "engine/model/StockState.h"

// New N-day high and low, N being the stock's HHDays and LLDays: NewHigh is true when today's
// high is strictly above the high of each of the last HHDays rows, NewLow when today's low is
// strictly below each of the last LLDays lows. A day count of 0 or less gives false. They run
// whatever the alert switches say.
void CheckHighestHigh(StockContext& stock);
void CheckLowestLow(StockContext& stock);
