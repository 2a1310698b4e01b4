#pragma once

#include <QtGlobal>

// Simple moving average of the close over `period` rows for the current stock (StockID), for
// three consecutive days: day 1 ends with row 0 (today's quote), day 2 with row 1, day 3 with
// row 2. Stored as MovingAverage(averageNumber, day) of gIndicators(StockID); an average
// number outside 1..6 stores nothing. The cycle's six calls are (5, 1), (10, 2), (10, 3),
// (30, 4), (50, 5) and (200, 6).
void CalcMovingAverages(qint16 period, qint16 averageNumber);
