#include "engine/indicators/VolumeAverage.h"

#include "engine/indicators/IndicatorSupport.h"
#include "engine/log/LogTexts.h"
#include "platform/Conversions.h"

#include <cmath>

void CalcVolumeAverage(StockContext& stock, int period)
{
    const HistoryArray& history = stock.state.history;
    bool overflow = false;
    double sum = 0.0;
    int slot = RowSlot(0, kVolumeField);
    // period < 1 leaves nothing to average (0 / 0).
    bool ok = period >= 1;
    for (int n = 0; n < period && ok; ++n, slot += 6) {
        ok = slot < kHistorySlots;
        if (ok)
            sum += Val(history[static_cast<std::size_t>(slot)], &overflow);
    }
    const double average = ok ? sum / period : 0.0;
    if (!ok || overflow || !std::isfinite(average)) {
        TakeCalcErrorPath(stock, LogText::VolumeMACalc);
        return;
    }
    stock.state.indicators.TodayVolume = Val(history[RowSlot(0, kVolumeField)]);
    stock.state.indicators.AverageVolume = average;
}
