#pragma once

#include "engine/model/StockState.h"

#include <array>

// The slow stochastic's working values for one stock, passed from one step to the next.
struct StochasticWork
{
    std::array<double, 30> FastK {}; // rows 0..29
    std::array<double, 10> SlowK {}; // rows 0..9
    std::array<double, 3> SlowD {}; // rows 0..2
};

// Slow stochastic. Call the three in this order with the same work for one stock:
// CalcFastK finds the raw %K of rows 0..29, each over the 15 rows starting with it;
// CalcSlowK averages three raw %K values (rows m..m+2) for rows 0..9 and stores StochK;
// CalcSlowD averages three slow %K values for rows 0..2 and stores StochD.
void CalcFastK(StockContext& stock, StochasticWork& work);
void CalcSlowK(StockContext& stock, StochasticWork& work);
void CalcSlowD(StockContext& stock, StochasticWork& work);
