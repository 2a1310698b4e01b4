#include "indicators/indROC.h"

#include "core/LogTexts.h"
#include "core/VarDef.h"
#include "indicators/IndicatorSupport.h"

#include <cmath>

void CalcROC(qint16 period)
{
    if (!CurrentStockValid())
        return;
    const std::optional<double> today = SlotNumber(RowSlot(0, kCloseField));
    const std::optional<double> past = SlotNumber(RowSlot(period - 1, kCloseField));
    // An empty or zero close back then (a short history) would divide by zero.
    if (!today || !past || *past == 0.0) {
        TakeCalcErrorPath(LogText::ROCCalc);
        return;
    }
    const double rate = (*today - *past) / *past * 100.0;
    if (!std::isfinite(rate)) {
        TakeCalcErrorPath(LogText::ROCCalc);
        return;
    }
    gIndicators[StockID].RateOfChange = rate;
}
