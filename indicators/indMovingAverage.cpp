#include "indicators/indMovingAverage.h"

#include "core/LogTexts.h"
#include "core/VarDef.h"
#include "indicators/IndicatorSupport.h"

#include <cmath>

void CalcMovingAverages(qint16 period, qint16 averageNumber)
{
    if (!CurrentStockValid())
        return;
    // With no rows there is nothing to average (0 / 0).
    if (period < 1) {
        TakeCalcErrorPath(LogText::MACalc);
        return;
    }
    for (int day = 1; day <= 3; ++day) {
        double sum = 0.0;
        int slot = RowSlot(day - 1, kCloseField);
        for (int n = 0; n < period; ++n, slot += 6) {
            const std::optional<double> close = SlotNumber(slot);
            if (!close) {
                TakeCalcErrorPath(LogText::MACalc);
                return;
            }
            sum += *close;
        }
        const double average = sum / period;
        if (!std::isfinite(average)) {
            TakeCalcErrorPath(LogText::MACalc);
            return;
        }
        if (averageNumber >= 1 && averageNumber <= 6)
            gIndicators[StockID].MovingAverage[averageNumber][day] = average;
    }
}
