#include "engine/indicators/Indicators.h"

#include "engine/indicators/HighLowBreakout.h"
#include "engine/indicators/IndicatorSupport.h"
#include "engine/indicators/MovingAverage.h"
#include "engine/indicators/RateOfChange.h"
#include "engine/indicators/Stochastic.h"
#include "engine/indicators/VolumeAverage.h"
#include "engine/log/LogTexts.h"

namespace tradevane {

void calcIndicators(StockContext& stock)
{
    if (stock.state.downloadError)
        return;
    const PriceRows rows(stock.state.history);
    IndicatorValues& values = stock.state.indicators;
    const AveragePeriods periods = usableAveragePeriods(stock.settings);

    for (std::size_t a = 0; a < periods.size(); ++a) {
        for (std::size_t day = 0; day < values.movingAverage[a].size(); ++day) {
            const std::optional<double> average = movingAverage(rows, periods[a], static_cast<int>(day));
            if (!average)
                return takeCalcErrorPath(stock, LogText::kMaCalc);
            values.movingAverage[a][day] = *average;
        }
    }
    const std::optional<double> rate = rateOfChange(rows, kRateOfChangePeriod);
    if (!rate)
        return takeCalcErrorPath(stock, LogText::kRocCalc);
    values.rateOfChange = *rate;

    const std::optional<bool> newHigh = isNewHigh(rows, stock.settings.highestHighDays);
    if (!newHigh)
        return takeCalcErrorPath(stock, LogText::kHighestHighModule);
    values.newHigh = *newHigh;
    const std::optional<bool> newLow = isNewLow(rows, stock.settings.lowestLowDays);
    if (!newLow)
        return takeCalcErrorPath(stock, LogText::kLowestLowModule);
    values.newLow = *newLow;

    const std::optional<double> volumeAverage = averageVolume(rows, kVolumePeriod);
    if (!volumeAverage)
        return takeCalcErrorPath(stock, LogText::kVolumeMaCalc);
    values.todayVolume = rows.volume(0).value_or(0.0);
    values.averageVolume = *volumeAverage;

    const SlowStochastic stochastic = computeSlowStochastic(rows);
    switch (stochastic.failure) {
    case SlowStochastic::Failure::RawK:
        return takeCalcErrorPath(stock, LogText::kStochasticKCalc);
    case SlowStochastic::Failure::SlowK:
        return takeCalcErrorPath(stock, LogText::kStochasticSlowKCalc);
    case SlowStochastic::Failure::SlowD:
        values.stochK = stochastic.k;
        return takeCalcErrorPath(stock, LogText::kStochasticSlowDCalc);
    case SlowStochastic::Failure::None:
        break;
    }
    values.stochK = stochastic.k;
    values.stochD = stochastic.d;
}

} // namespace tradevane
