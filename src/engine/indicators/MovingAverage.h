#pragma once

#include "engine/model/StockState.h"

// Simple moving average of the close over `period` rows, for three consecutive days: day 1 ends
// with row 0 (today's quote), day 2 with row 1, day 3 with row 2. Stored as average
// `averageNumber` (1..6: short fast, short slow, medium fast, medium slow, long fast, long slow)
// of the stock's indicators; a number outside 1..6 stores nothing.
void CalcMovingAverages(StockContext& stock, int period, int averageNumber);
