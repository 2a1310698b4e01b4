#pragma once

#include "engine/model/StockState.h"

#include <QDate>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace tradevane {

// A stock's history and indicators day by day, for the chart window. Every value comes from the
// engine's own indicator routines, run on the history as it stood at the end of that day (the
// rows after it taken away), so that the chart shows exactly what the alerts were computed from.

// A day as the chart draws it: a price that is not a number draws as 0.
struct ChartBar
{
    QString dateText; // as the history holds it
    QDate date; // invalid when the text is no date
    double open = 0.0;
    double high = 0.0;
    double low = 0.0;
    double close = 0.0;
    double volume = 0.0;
};

// One indicator on one day; no value where the history was too short for it.
using SeriesValue = std::optional<double>;

struct IndicatorDay
{
    std::array<SeriesValue, 6> movingAverage; // short fast, short slow, medium fast, ... long slow
    SeriesValue rateOfChange; // 21 days
    SeriesValue averageVolume; // 20 days
    SeriesValue stochK;
    SeriesValue stochD;
};

struct ChartData
{
    // Oldest first; the last is today's row once a quote has come (before that, the history's
    // heading line is no day and yesterday is the last).
    std::vector<ChartBar> bars;
    std::vector<IndicatorDay> days; // one per bar
    AveragePeriods movingAveragePeriods {};
    // The highest high of the HHDays days and the lowest low of the LLDays days before the last.
    std::optional<double> highestHigh;
    std::optional<double> lowestLow;

    bool empty() const { return bars.empty(); }
};

// The rows of the history up to the first without a date, row 0 (today's row or the heading line)
// included.
int historyRowCount(const PriceHistory& history);

// The row of the newest day: 0 once today's quote has come, 1 while row 0 is still the table's
// heading line (which holds no prices).
int firstDayRow(const PriceHistory& history);

// Every bar and every indicator of the history, computed with the stock's settings.
ChartData chartDataOf(const PriceHistory& history, const AlertSettings& settings);

// After a quote set: only row 0 changed. Its bar and indicators are taken again; a history with
// another number of rows is read whole.
void updateLastDay(ChartData& data, const PriceHistory& history, const AlertSettings& settings);

// The indicators the engine computes for `row` of the history (row 0: today) with `settings`.
IndicatorDay indicatorsOfRow(
    const PriceHistory& history, int rowCount, int row, const AlertSettings& settings);

} // namespace tradevane
