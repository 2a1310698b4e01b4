#include "engine/indicators/Stochastic.h"

#include <array>
#include <cmath>
#include <limits>

namespace tradevane {

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

// The raw %K of rows 0..29; none when a price cannot be read or a window has no range.
std::optional<std::array<double, kRawRows>> rawKOf(const PriceRows& rows)
{
    // Every high and low of rows 0..43 and every close of rows 0..29 is read by some window, so
    // reading them first fails exactly where the windows would.
    std::array<double, kRowsRead> low {};
    std::array<double, kRowsRead> high {};
    std::array<double, kRawRows> close {};
    for (std::size_t r = 0; r < kRowsRead; ++r) {
        const std::optional<double> l = rows.low(static_cast<int>(r));
        const std::optional<double> h = rows.high(static_cast<int>(r));
        if (!l || !h)
            return std::nullopt;
        low[r] = *l;
        high[r] = *h;
    }
    for (std::size_t r = 0; r < kRawRows; ++r) {
        const std::optional<double> c = rows.close(static_cast<int>(r));
        if (!c)
            return std::nullopt;
        close[r] = *c;
    }

    std::array<double, kRawRows> rawK {};
    for (std::size_t j = 0; j < kRawRows; ++j) {
        // The lowest low starts above any price, so that a stock trading at 9999 or more gets its
        // real low. The highest high starts at 0.01: a window of empty rows (a history shorter than
        // 30 days) then reads 0 instead of dividing by zero.
        double lowest = std::numeric_limits<double>::infinity();
        double highest = 0.01;
        for (std::size_t r = j; r < j + kWindow; ++r) {
            lowest = std::min(lowest, low[r]);
            highest = std::max(highest, high[r]);
        }
        const double range = highest - lowest;
        if (range == 0.0)
            return std::nullopt; // a suspended stock: no range to place the close in
        const double value = (close[j] - lowest) / range * 100.0;
        if (!std::isfinite(value))
            return std::nullopt;
        rawK[j] = value;
    }
    return rawK;
}

} // namespace

SlowStochastic computeSlowStochastic(const PriceRows& rows)
{
    using Failure = SlowStochastic::Failure;
    SlowStochastic result;
    const std::optional<std::array<double, kRawRows>> rawK = rawKOf(rows);
    if (!rawK) {
        result.failure = Failure::RawK;
        return result;
    }
    std::array<double, 10> slowK {};
    for (std::size_t m = 0; m < slowK.size(); ++m) {
        const std::optional<double> average = threeRowAverage((*rawK)[m], (*rawK)[m + 1], (*rawK)[m + 2]);
        if (!average) {
            result.failure = Failure::SlowK;
            return result;
        }
        slowK[m] = *average;
    }
    result.k = slowK[0];
    std::array<double, 3> slowD {};
    for (std::size_t m = 0; m < slowD.size(); ++m) {
        const std::optional<double> average = threeRowAverage(slowK[m], slowK[m + 1], slowK[m + 2]);
        if (!average) {
            result.failure = Failure::SlowD;
            return result;
        }
        slowD[m] = *average;
    }
    result.d = slowD[0];
    return result;
}

} // namespace tradevane
