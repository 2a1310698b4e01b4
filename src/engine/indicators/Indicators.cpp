#include "engine/indicators/Indicators.h"

#include "engine/indicators/HighLowBreakout.h"
#include "engine/indicators/IndicatorSupport.h"
#include "engine/indicators/MovingAverage.h"
#include "engine/indicators/RateOfChange.h"
#include "engine/indicators/Stochastic.h"
#include "engine/indicators/VolumeAverage.h"
#include "engine/log/LogTexts.h"

namespace tradevane {

QString computeIndicators(const PriceRows& rows, const AlertSettings& settings, IndicatorValues& values)
{
    const AveragePeriods periods = usableAveragePeriods(settings);
    for (std::size_t a = 0; a < periods.size(); ++a) {
        for (std::size_t day = 0; day < values.movingAverage[a].size(); ++day) {
            const std::optional<double> average = movingAverage(rows, periods[a], static_cast<int>(day));
            if (!average)
                return LogText::kMaCalc;
            values.movingAverage[a][day] = *average;
        }
    }
    const std::optional<double> rate = rateOfChange(rows, kRateOfChangePeriod);
    if (!rate)
        return LogText::kRocCalc;
    values.rateOfChange = *rate;

    const std::optional<bool> newHigh = isNewHigh(rows, settings.highestHighDays);
    if (!newHigh)
        return LogText::kHighestHighModule;
    values.newHigh = *newHigh;
    const std::optional<bool> newLow = isNewLow(rows, settings.lowestLowDays);
    if (!newLow)
        return LogText::kLowestLowModule;
    values.newLow = *newLow;

    const std::optional<double> volumeAverage = averageVolume(rows, kVolumePeriod);
    if (!volumeAverage)
        return LogText::kVolumeMaCalc;
    values.todayVolume = rows.volume(0).value_or(0.0);
    values.averageVolume = *volumeAverage;

    const SlowStochastic stochastic = computeSlowStochastic(rows);
    switch (stochastic.failure) {
    case SlowStochastic::Failure::RawK:
        return LogText::kStochasticKCalc;
    case SlowStochastic::Failure::SlowK:
        return LogText::kStochasticSlowKCalc;
    case SlowStochastic::Failure::SlowD:
        values.stochK = stochastic.k;
        return LogText::kStochasticSlowDCalc;
    case SlowStochastic::Failure::None:
        break;
    }
    values.stochK = stochastic.k;
    values.stochD = stochastic.d;
    return {};
}

void calcIndicators(StockContext& stock)
{
    if (stock.state.downloadError)
        return;
    const QString failed
        = computeIndicators(PriceRows(stock.state.history), stock.settings, stock.state.indicators);
    if (!failed.isEmpty())
        takeCalcErrorPath(stock, failed);
}

} // namespace tradevane
