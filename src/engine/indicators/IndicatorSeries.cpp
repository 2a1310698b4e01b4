#include "engine/indicators/IndicatorSeries.h"

#include "engine/indicators/HighLowBreakout.h"
#include "engine/indicators/IndicatorSupport.h"
#include "engine/indicators/MovingAverage.h"
#include "engine/indicators/RateOfChange.h"
#include "engine/indicators/Stochastic.h"
#include "engine/indicators/VolumeAverage.h"
#include "engine/log/ActivityLog.h"
#include "platform/Conversions.h"

#include <algorithm>
#include <functional>

namespace {

constexpr int kRocPeriod = 21;
constexpr int kVolumePeriod = 20;
// The slow stochastic reads 15 rows for each of the 30 raw values it starts from.
constexpr int kStochasticRows = 30 + 14;

QDate dateOf(const QString& text)
{
    const QString trimmed = text.trimmed();
    for (const QString& format : {u"yyyy-MM-dd"_qs, u"M/d/yyyy"_qs, u"d-MMM-yy"_qs}) {
        const QDate date = QDate::fromString(trimmed, format);
        if (date.isValid())
            return date;
    }
    return {};
}

DailyBar barOfRow(const HistoryArray& history, int row)
{
    DailyBar bar;
    bar.dateText = history[static_cast<std::size_t>(RowSlot(row, 0))].trimmed();
    bar.date = dateOf(bar.dateText);
    bar.open = SlotNumber(history, RowSlot(row, 1)).value_or(0.0);
    bar.high = SlotNumber(history, RowSlot(row, kHighField)).value_or(0.0);
    bar.low = SlotNumber(history, RowSlot(row, kLowField)).value_or(0.0);
    bar.close = SlotNumber(history, RowSlot(row, kCloseField)).value_or(0.0);
    bar.volume = Val(history[static_cast<std::size_t>(RowSlot(row, kVolumeField))]);
    return bar;
}

// Runs one of the engine's indicator routines on `history` as a stock of its own, with a log
// nobody reads: a failure means no value, never a line in the program's log.
struct Scratch
{
    Scratch(const HistoryArray& shifted, const AlertSettings& settings)
        : context {StockIndex(0), settings, state, log}
    {
        state.history = shifted;
    }
    bool run(const std::function<void(StockContext&)>& routine)
    {
        state.downloadError = false;
        routine(context);
        return !state.downloadError;
    }
    StockState state;
    ActivityLog log;
    StockContext context;
};

std::optional<double> extreme(const HistoryArray& history, int rowCount, int field, int days, bool highest)
{
    if (days < 1 || days + 1 > rowCount)
        return std::nullopt;
    std::optional<double> result;
    for (int r = 1; r <= days; ++r) {
        const std::optional<double> value = SlotNumber(history, RowSlot(r, field));
        if (!value)
            return std::nullopt;
        result = !result ? *value : highest ? std::max(*result, *value) : std::min(*result, *value);
    }
    return result;
}

// Row 0 holds today's quote once one has come; before that the table's heading line.
int firstDayRow(const HistoryArray& history)
{
    return SlotNumber(history, RowSlot(0, kCloseField)).has_value()
            && !history[RowSlot(0, kCloseField)].trimmed().isEmpty()
        ? 0
        : 1;
}

} // namespace

int HistoryRowCount(const HistoryArray& history)
{
    int rows = 0;
    while (RowSlot(rows, kVolumeField) < kHistorySlots
        && !history[static_cast<std::size_t>(RowSlot(rows, 0))].trimmed().isEmpty())
        ++rows;
    return rows;
}

IndicatorDay IndicatorsOfRow(
    const HistoryArray& history, int rowCount, int row, const AlertSettings& settings)
{
    // The history as it stood at the end of that day: its row becomes row 0.
    HistoryArray shifted;
    std::copy(history.begin() + RowSlot(row, 0), history.end(), shifted.begin());
    Scratch scratch(shifted, settings);
    const int rowsLeft = rowCount - row;
    const IndicatorValues& values = scratch.state.indicators;

    IndicatorDay day;
    const AveragePeriods periods = UsableAveragePeriods(settings);
    for (std::size_t a = 0; a < periods.size(); ++a) {
        // An average that would reach beyond the history would count the missing days as 0.
        if (periods[a] < 1 || periods[a] > rowsLeft)
            continue;
        const auto number = static_cast<int>(a + 1);
        if (scratch.run([&](StockContext& s) { CalcMovingAverages(s, periods[a], number); }))
            day.movingAverage[a] = values.MovingAverage[a][0];
    }
    if (rowsLeft >= kRocPeriod && scratch.run([](StockContext& s) { CalcROC(s, kRocPeriod); }))
        day.rateOfChange = values.RateOfChange;
    if (rowsLeft >= kVolumePeriod
        && scratch.run([](StockContext& s) { CalcVolumeAverage(s, kVolumePeriod); }))
        day.averageVolume = values.AverageVolume;
    if (rowsLeft >= kStochasticRows) {
        StochasticWork work;
        if (scratch.run([&](StockContext& s) {
                CalcFastK(s, work);
                if (!s.state.downloadError)
                    CalcSlowK(s, work);
                if (!s.state.downloadError)
                    CalcSlowD(s, work);
            })) {
            day.stochK = values.StochK;
            day.stochD = values.StochD;
        }
    }
    return day;
}

ChartData ChartDataOf(const HistoryArray& history, const AlertSettings& settings)
{
    ChartData data;
    data.movingAveragePeriods = UsableAveragePeriods(settings);
    const int rows = HistoryRowCount(history);
    data.bars.reserve(static_cast<std::size_t>(rows));
    data.days.reserve(static_cast<std::size_t>(rows));
    for (int row = rows - 1; row >= firstDayRow(history); --row) {
        data.bars.push_back(barOfRow(history, row));
        data.days.push_back(IndicatorsOfRow(history, rows, row, settings));
    }
    if (firstDayRow(history) == 0) {
        data.highestHigh = extreme(history, rows, kHighField, settings.highestHighDays, true);
        data.lowestLow = extreme(history, rows, kLowField, settings.lowestLowDays, false);
    }
    return data;
}

void UpdateLastDay(ChartData& data, const HistoryArray& history, const AlertSettings& settings)
{
    const int rows = HistoryRowCount(history);
    // Another day's history may have as many rows: its oldest and its yesterday tell.
    const auto sameRow = [&history](int row, const DailyBar& bar) {
        return history[static_cast<std::size_t>(RowSlot(row, 0))].trimmed() == bar.dateText;
    };
    if (firstDayRow(history) != 0 || rows < 2 || static_cast<std::size_t>(rows) != data.bars.size()
        || !sameRow(rows - 1, data.bars.front()) || !sameRow(1, data.bars[data.bars.size() - 2])
        || data.movingAveragePeriods != UsableAveragePeriods(settings)) {
        data = ChartDataOf(history, settings);
        return;
    }
    data.bars.back() = barOfRow(history, 0);
    data.days.back() = IndicatorsOfRow(history, rows, 0, settings);
    data.highestHigh = extreme(history, rows, kHighField, settings.highestHighDays, true);
    data.lowestLow = extreme(history, rows, kLowField, settings.lowestLowDays, false);
}
