// What one quote set costs in indicator work: for ten watched stocks, every indicator in the
// engine's order, then the alert flags of each stock.
#include "engine/indicators/Indicators.h"
#include "engine/alerts/AlertConditions.h"
#include "engine/forms/AlertEntries.h"
#include "engine/log/ActivityLog.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

using namespace tradevane;

namespace {

// Ten stocks with a year of random daily prices and every alert switched on.
struct TenStocks
{
    TenStocks()
    {
        std::mt19937 random(20240521);
        std::uniform_real_distribution<double> step(-0.03, 0.03);
        std::uniform_real_distribution<double> spread(0.0, 0.02);
        std::uniform_int_distribution<int> volume(100000, 5000000);
        const auto price = [](double v) { return QString::number(v, 'f', 2); };
        for (const StockIndex stock : allStocks()) {
            PriceHistory& history = states[stock.index()].history;
            double close = 10.0 * stock.number();
            for (std::size_t row = 0; row < 252; ++row) {
                const double open = close;
                close = std::max(0.5, close * (1.0 + step(random)));
                history.push_back(barFromTexts(u"2024-05-21"_qs, price(open),
                    price(std::max(open, close) * (1.0 + spread(random))),
                    price(std::min(open, close) * (1.0 - spread(random))), price(close),
                    QString::number(volume(random))));
            }
            AlertSettings& s = settings[stock.index()];
            s.watch = Watch::On;
            s.alertsOn.fill(true);
            s.averagePeriods = kDefaultAveragePeriods;
            s.highestHighDays = 20;
            s.lowestLowDays = 20;
            s.rateOfChangeAbove = 5;
            s.rateOfChangeBelow = -5;
            s.priceAbove = 1000.0;
            s.priceBelow = 1.0;
            states[stock.index()].quote.last = QString::number(*history.front().close, 'f', 2);
        }
    }

    StockContext context(StockIndex stock)
    {
        return {stock, settings[stock.index()], states[stock.index()], log};
    }

    void indicators()
    {
        for (const StockIndex stock : allStocks()) {
            StockContext c = context(stock);
            calcIndicators(c);
        }
    }

    void alertFlags()
    {
        for (const StockIndex stock : allStocks()) {
            StockContext c = context(stock);
            setAlertFlags(c);
        }
    }

    bool anyError() const
    {
        return std::any_of(states.begin(), states.end(), [](const StockState& s) { return s.downloadError; });
    }

    std::array<AlertSettings, kStockCount> settings {};
    std::array<StockState, kStockCount> states {};
    ActivityLog log;
};

void BM_IndicatorsAndAlertFlagsTenStocks(benchmark::State& state)
{
    TenStocks stocks;
    for (auto _ : state) {
        stocks.indicators();
        stocks.alertFlags();
        benchmark::DoNotOptimize(stocks.states);
    }
    if (stocks.anyError())
        state.SkipWithError("an indicator failed");
}
BENCHMARK(BM_IndicatorsAndAlertFlagsTenStocks)->Unit(benchmark::kMicrosecond);

void BM_IndicatorsTenStocks(benchmark::State& state)
{
    TenStocks stocks;
    for (auto _ : state) {
        stocks.indicators();
        benchmark::DoNotOptimize(stocks.states);
    }
}
BENCHMARK(BM_IndicatorsTenStocks)->Unit(benchmark::kMicrosecond);

void BM_AlertFlagsTenStocks(benchmark::State& state)
{
    TenStocks stocks;
    stocks.indicators();
    for (auto _ : state) {
        stocks.alertFlags();
        benchmark::DoNotOptimize(stocks.states);
    }
}
BENCHMARK(BM_AlertFlagsTenStocks)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
