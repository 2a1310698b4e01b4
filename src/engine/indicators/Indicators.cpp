#include "engine/indicators/Indicators.h"

#include "engine/indicators/HighLowBreakout.h"
#include "engine/indicators/IndicatorSupport.h"
#include "engine/indicators/MovingAverage.h"
#include "engine/indicators/RateOfChange.h"
#include "engine/indicators/Stochastic.h"
#include "engine/indicators/VolumeAverage.h"
#include "engine/log/LogTexts.h"

namespace tradevane {

void CalcIndicators(StockContext& stock)
{
    if (stock.state.downloadError)
        return;
    const PriceRows rows(stock.state.history);
    IndicatorValues& values = stock.state.indicators;
    const AveragePeriods periods = UsableAveragePeriods(stock.settings);

    for (std::size_t a = 0; a < periods.size(); ++a) {
        for (std::size_t day = 0; day < values.MovingAverage[a].size(); ++day) {
            const std::optional<double> average = MovingAverage(rows, periods[a], static_cast<int>(day));
            if (!average)
                return TakeCalcErrorPath(stock, LogText::MACalc);
            values.MovingAverage[a][day] = *average;
        }
    }
    const std::optional<double> rate = RateOfChange(rows, kRateOfChangePeriod);
    if (!rate)
        return TakeCalcErrorPath(stock, LogText::ROCCalc);
    values.RateOfChange = *rate;

    const std::optional<bool> newHigh = IsNewHigh(rows, stock.settings.highestHighDays);
    if (!newHigh)
        return TakeCalcErrorPath(stock, LogText::HighestHighModule);
    values.NewHigh = *newHigh;
    const std::optional<bool> newLow = IsNewLow(rows, stock.settings.lowestLowDays);
    if (!newLow)
        return TakeCalcErrorPath(stock, LogText::LowestLowModule);
    values.NewLow = *newLow;

    const std::optional<double> averageVolume = AverageVolume(rows, kVolumePeriod);
    if (!averageVolume)
        return TakeCalcErrorPath(stock, LogText::VolumeMACalc);
    values.TodayVolume = rows.volume(0).value_or(0.0);
    values.AverageVolume = *averageVolume;

    const SlowStochastic stochastic = ComputeSlowStochastic(rows);
    switch (stochastic.failure) {
    case SlowStochastic::Failure::RawK:
        return TakeCalcErrorPath(stock, LogText::StochasticKCalc);
    case SlowStochastic::Failure::SlowK:
        return TakeCalcErrorPath(stock, LogText::StochasticSlowKCalc);
    case SlowStochastic::Failure::SlowD:
        values.StochK = stochastic.k;
        return TakeCalcErrorPath(stock, LogText::StochasticSlowDCalc);
    case SlowStochastic::Failure::None:
        break;
    }
    values.StochK = stochastic.k;
    values.StochD = stochastic.d;
}

} // namespace tradevane
