#pragma once

#include <QtGlobal>

// Volume of the current stock (StockID): TodayVolume is the volume of row 0 (today's partial
// volume), AverageVolume the average over rows 0 .. period - 1. Volumes are leading-number
// values, so a text such as N/A counts 0. The cycle passes 20.
void CalcVolumeAverage(qint16 period);
