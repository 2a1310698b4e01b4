#pragma once

// Slow stochastic of the current stock (StockID). Call the three in this order for one stock:
// CalcFastK finds the raw %K of rows 0..29, each over the 15 rows starting with it;
// CalcSlowK averages three raw %K values (rows m..m+2) for rows 0..9 and stores StochK;
// CalcSlowD averages three slow %K values for rows 0..2 and stores StochD.
// The working values stay in this module and are overwritten for each stock.
void CalcFastK();
void CalcSlowK();
void CalcSlowD();
