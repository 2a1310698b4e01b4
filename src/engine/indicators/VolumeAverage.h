#pragma once

#include "engine/model/StockState.h"

// TodayVolume is the volume of row 0 (today's partial volume), AverageVolume the average over
// rows 0 .. period - 1. Volumes are leading-number values, so a text such as N/A counts 0. The
// engine passes 20.
void CalcVolumeAverage(StockContext& stock, int period);
