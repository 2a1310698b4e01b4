#include "indicators/indVolume.h"

#include "core/Conversions.h"
#include "core/LogTexts.h"
#include "core/VarDef.h"
#include "indicators/IndicatorSupport.h"

#include <cmath>

void CalcVolumeAverage(qint16 period)
{
    if (!CurrentStockValid())
        return;
    bool overflow = false;
    double sum = 0.0;
    int slot = RowSlot(0, kVolumeField);
    // period < 1 leaves nothing to average (0 / 0).
    bool ok = period >= 1;
    for (int n = 0; n < period && ok; ++n, slot += 6) {
        ok = slot < kHistorySlots;
        if (ok)
            sum += Val(gWorkData[slot], &overflow);
    }
    const double average = ok ? sum / period : 0.0;
    if (!ok || overflow || !std::isfinite(average)) {
        TakeCalcErrorPath(LogText::VolumeMACalc);
        return;
    }
    gIndicators[StockID].TodayVolume = Val(gWorkData[RowSlot(0, kVolumeField)]);
    gIndicators[StockID].AverageVolume = average;
}
