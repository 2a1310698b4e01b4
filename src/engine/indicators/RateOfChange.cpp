#include "engine/indicators/RateOfChange.h"

#include "engine/indicators/IndicatorSupport.h"
#include "engine/log/LogTexts.h"

#include <cmath>

void CalcROC(StockContext& stock, int period)
{
    const HistoryArray& history = stock.state.history;
    const std::optional<double> today = SlotNumber(history, RowSlot(0, kCloseField));
    const std::optional<double> past = SlotNumber(history, RowSlot(period - 1, kCloseField));
    // An empty or zero close back then (a short history) would divide by zero.
    if (!today || !past || *past == 0.0) {
        TakeCalcErrorPath(stock, LogText::ROCCalc);
        return;
    }
    const double rate = (*today - *past) / *past * 100.0;
    if (!std::isfinite(rate)) {
        TakeCalcErrorPath(stock, LogText::ROCCalc);
        return;
    }
    stock.state.indicators.RateOfChange = rate;
}
