#pragma once

#include "engine/model/StockState.h"

// Rate of change of the close in percent: today's close against the close of row period - 1, so
// that period 21 spans 21 rows counting today. Stored as the stock's RateOfChange; on failure it
// keeps its previous value.
void CalcROC(StockContext& stock, int period);
