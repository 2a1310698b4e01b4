#include "engine/indicators/MovingAverage.h"

#include "engine/indicators/IndicatorSupport.h"
#include "engine/log/LogTexts.h"

#include <cmath>

void CalcMovingAverages(StockContext& stock, int period, int averageNumber)
{
    // With no rows there is nothing to average (0 / 0).
    if (period < 1) {
        TakeCalcErrorPath(stock, LogText::MACalc);
        return;
    }
    for (int day = 0; day < 3; ++day) {
        double sum = 0.0;
        int slot = RowSlot(day, kCloseField);
        for (int n = 0; n < period; ++n, slot += 6) {
            const std::optional<double> close = SlotNumber(stock.state.history, slot);
            if (!close) {
                TakeCalcErrorPath(stock, LogText::MACalc);
                return;
            }
            sum += *close;
        }
        const double average = sum / period;
        if (!std::isfinite(average)) {
            TakeCalcErrorPath(stock, LogText::MACalc);
            return;
        }
        if (averageNumber >= 1 && averageNumber <= 6)
            stock.state.indicators
                .MovingAverage[static_cast<std::size_t>(averageNumber - 1)][static_cast<std::size_t>(day)]
                = average;
    }
}
