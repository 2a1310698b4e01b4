#include "engine/indicators/Stochastic.h"

#include "engine/indicators/IndicatorSupport.h"
#include "engine/log/LogTexts.h"

#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr int kRawRows = 30; // rows with a raw %K
constexpr int kWindow = 15; // rows in the window of one raw %K
constexpr int kRowsRead = kRawRows + kWindow - 1; // rows 0..43

// Three values averaged, added from 0 in row order. No value on overflow.
std::optional<double> threeRowAverage(double first, double second, double third)
{
    const double average = (0.0 + first + second + third) / 3;
    if (!std::isfinite(average))
        return std::nullopt;
    return average;
}

} // namespace

void CalcFastK(StockContext& stock, StochasticWork& work)
{
    const HistoryArray& history = stock.state.history;
    work.FastK.fill(0.0);

    // Every high and low of rows 0..43 and every close of rows 0..29 is read by some window,
    // so converting them first fails exactly where the window loop would.
    std::array<double, kRowsRead> low {};
    std::array<double, kRowsRead> high {};
    std::array<double, kRawRows> close {};
    bool readable = true;
    for (int r = 0; r < kRowsRead && readable; ++r) {
        const std::optional<double> l = SlotNumber(history, RowSlot(r, kLowField));
        const std::optional<double> h = SlotNumber(history, RowSlot(r, kHighField));
        readable = l && h;
        low[r] = l.value_or(0.0);
        high[r] = h.value_or(0.0);
    }
    for (int r = 0; r < kRawRows && readable; ++r) {
        const std::optional<double> c = SlotNumber(history, RowSlot(r, kCloseField));
        readable = c.has_value();
        close[r] = c.value_or(0.0);
    }
    if (!readable) {
        TakeCalcErrorPath(stock, LogText::StochasticKCalc);
        return;
    }

    for (int j = 0; j < kRawRows; ++j) {
        // The lowest low starts above any price, so that a stock trading at 9999 or more gets
        // its real low. The highest high starts at 0.01: a window of empty rows (a history
        // shorter than 30 days) then reads 0 instead of dividing by zero.
        double lowest = std::numeric_limits<double>::infinity();
        double highest = 0.01;
        for (int r = j; r < j + kWindow; ++r) {
            if (low[r] < lowest)
                lowest = low[r];
        }
        for (int r = j; r < j + kWindow; ++r) {
            if (high[r] > highest)
                highest = high[r];
        }
        const double range = highest - lowest;
        // A range of 0 is a window whose highest high equals its lowest low (a suspended stock).
        const double rawK
            = range == 0.0 ? std::numeric_limits<double>::quiet_NaN() : (close[j] - lowest) / range * 100.0;
        if (!std::isfinite(rawK)) {
            TakeCalcErrorPath(stock, LogText::StochasticKCalc);
            return;
        }
        work.FastK[static_cast<std::size_t>(j)] = rawK;
    }
}

void CalcSlowK(StockContext& stock, StochasticWork& work)
{
    const auto& FastK = work.FastK;
    for (std::size_t m = 0; m < work.SlowK.size(); ++m) {
        const std::optional<double> average = threeRowAverage(FastK[m], FastK[m + 1], FastK[m + 2]);
        if (!average) {
            TakeCalcErrorPath(stock, LogText::StochasticSlowKCalc);
            return;
        }
        work.SlowK[m] = *average;
    }
    stock.state.indicators.StochK = work.SlowK[0];
}

void CalcSlowD(StockContext& stock, StochasticWork& work)
{
    const auto& SlowK = work.SlowK;
    for (std::size_t m = 0; m < work.SlowD.size(); ++m) {
        const std::optional<double> average = threeRowAverage(SlowK[m], SlowK[m + 1], SlowK[m + 2]);
        if (!average) {
            TakeCalcErrorPath(stock, LogText::StochasticSlowDCalc);
            return;
        }
        work.SlowD[m] = *average;
    }
    stock.state.indicators.StochD = work.SlowD[0];
}
