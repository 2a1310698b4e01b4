#include "engine/indicators/Indicators.h"

#include "engine/indicators/HighLowBreakout.h"
#include "engine/indicators/MovingAverage.h"
#include "engine/indicators/RateOfChange.h"
#include "engine/indicators/Stochastic.h"
#include "engine/indicators/VolumeAverage.h"

#include <functional>

void CalcIndicators(StockContext& stock)
{
    const AveragePeriods periods = UsableAveragePeriods(stock.settings);
    StochasticWork work;
    const std::function<void()> steps[] = {
        [&] { CalcMovingAverages(stock, periods[0], 1); },
        [&] { CalcMovingAverages(stock, periods[1], 2); },
        [&] { CalcMovingAverages(stock, periods[2], 3); },
        [&] { CalcMovingAverages(stock, periods[3], 4); },
        [&] { CalcMovingAverages(stock, periods[4], 5); },
        [&] { CalcMovingAverages(stock, periods[5], 6); },
        [&] { CalcROC(stock, 21); },
        [&] { CheckHighestHigh(stock); },
        [&] { CheckLowestLow(stock); },
        [&] { CalcVolumeAverage(stock, 20); },
        [&] { CalcFastK(stock, work); },
        [&] { CalcSlowK(stock, work); },
        [&] { CalcSlowD(stock, work); },
    };
    for (const auto& step : steps) {
        if (stock.state.downloadError)
            return;
        step();
    }
}
