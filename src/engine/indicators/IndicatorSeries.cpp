#include "engine/indicators/IndicatorSeries.h"

#include "engine/indicators/Indicators.h"
#include "engine/indicators/MovingAverage.h"
#include "engine/indicators/RateOfChange.h"
#include "engine/indicators/Stochastic.h"
#include "engine/indicators/VolumeAverage.h"

#include <algorithm>

namespace tradevane {

namespace {

// The slow %K of a day averages the raw %K of it and the two days before, each over 15 rows: it
// stands on 17 rows; its %D averages three slow %K values: 19 rows.
constexpr int kSlowKRows = 2 + 15;
constexpr int kSlowDRows = 2 + kSlowKRows;

ChartBar barOfRow(const PriceRows& rows, int row)
{
    ChartBar bar;
    bar.dateText = rows.bar(row).dateText;
    bar.date = rows.bar(row).date;
    bar.open = rows.open(row).value_or(0.0);
    bar.high = rows.high(row).value_or(0.0);
    bar.low = rows.low(row).value_or(0.0);
    bar.close = rows.close(row).value_or(0.0);
    bar.volume = rows.volume(row).value_or(0.0);
    return bar;
}

std::optional<double> extreme(const PriceRows& rows, int rowCount, bool highest, int days)
{
    if (days < 1 || days + 1 > rowCount)
        return std::nullopt;
    std::optional<double> result;
    for (int r = 1; r <= days; ++r) {
        const std::optional<double> value = highest ? rows.high(r) : rows.low(r);
        if (!value)
            return std::nullopt;
        result = !result ? *value : highest ? std::max(*result, *value) : std::min(*result, *value);
    }
    return result;
}

} // namespace

int firstDayRow(const PriceHistory& history)
{
    return !history.empty() && history.front().close ? 0 : 1;
}

int historyRowCount(const PriceHistory& history)
{
    const int held = std::min(static_cast<int>(history.size()), kHistoryRows);
    int rows = 0;
    while (rows < held && !history[static_cast<std::size_t>(rows)].dateText.isEmpty())
        ++rows;
    return rows;
}

IndicatorDay indicatorsOfRow(
    const PriceHistory& history, int rowCount, int row, const AlertSettings& settings)
{
    // The history as it stood at the end of that day: its row becomes row 0.
    const PriceRows rows = PriceRows(history).from(row);
    const int rowsLeft = rowCount - row;

    IndicatorDay day;
    const AveragePeriods periods = usableAveragePeriods(settings);
    for (std::size_t a = 0; a < periods.size(); ++a) {
        // An average that would reach beyond the history would count the missing days as 0. The
        // engine takes it with the averages of the two days before, which must be there too.
        if (periods[a] < 1 || periods[a] > rowsLeft)
            continue;
        const std::optional<double> today = movingAverage(rows, periods[a]);
        if (movingAverage(rows, periods[a], 1) && movingAverage(rows, periods[a], 2))
            day.movingAverage[a] = today;
    }
    if (rowsLeft >= kRateOfChangePeriod)
        day.rateOfChange = rateOfChange(rows, kRateOfChangePeriod);
    if (rowsLeft >= kVolumePeriod)
        day.averageVolume = averageVolume(rows, kVolumePeriod);
    if (rowsLeft >= kSlowKRows) {
        // The raw values further back, which a short history fills with empty rows, take no part.
        const SlowStochastic stochastic = computeSlowStochastic(rows);
        using Failure = SlowStochastic::Failure;
        if (stochastic.failure == Failure::None || stochastic.failure == Failure::SlowD)
            day.stochK = stochastic.k;
        if (stochastic.failure == Failure::None && rowsLeft >= kSlowDRows)
            day.stochD = stochastic.d;
    }
    return day;
}

ChartData chartDataOf(const PriceHistory& history, const AlertSettings& settings)
{
    ChartData data;
    data.movingAveragePeriods = usableAveragePeriods(settings);
    const int rows = historyRowCount(history);
    const PriceRows all(history);
    data.bars.reserve(static_cast<std::size_t>(rows));
    data.days.reserve(static_cast<std::size_t>(rows));
    for (int row = rows - 1; row >= firstDayRow(history); --row) {
        data.bars.push_back(barOfRow(all, row));
        data.days.push_back(indicatorsOfRow(history, rows, row, settings));
    }
    if (firstDayRow(history) == 0) {
        data.highestHigh = extreme(all, rows, true, settings.highestHighDays);
        data.lowestLow = extreme(all, rows, false, settings.lowestLowDays);
    }
    return data;
}

void updateLastDay(ChartData& data, const PriceHistory& history, const AlertSettings& settings)
{
    const int rows = historyRowCount(history);
    // Another day's history may have as many rows: its oldest and its yesterday tell.
    const auto sameRow = [&history](int row, const ChartBar& bar) {
        return history[static_cast<std::size_t>(row)].dateText == bar.dateText;
    };
    if (firstDayRow(history) != 0 || rows < 2 || static_cast<std::size_t>(rows) != data.bars.size()
        || !sameRow(rows - 1, data.bars.front()) || !sameRow(1, data.bars[data.bars.size() - 2])
        || data.movingAveragePeriods != usableAveragePeriods(settings)) {
        data = chartDataOf(history, settings);
        return;
    }
    const PriceRows all(history);
    data.bars.back() = barOfRow(all, 0);
    data.days.back() = indicatorsOfRow(history, rows, 0, settings);
    data.highestHigh = extreme(all, rows, true, settings.highestHighDays);
    data.lowestLow = extreme(all, rows, false, settings.lowestLowDays);
}

} // namespace tradevane
