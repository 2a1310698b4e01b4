#pragma once

#include <QtGlobal>

// Rate of change of the close in percent for the current stock (StockID): today's close
// against the close of row period - 1, so that period 21 spans 21 rows counting today.
// Stored as RateOfChange of gIndicators(StockID); on failure it keeps its previous value.
void CalcROC(qint16 period);
