// What the alert preview costs: a year of daily bars replayed with every alert kind switched on,
// for one stock (the alert settings window's Preview) and for all ten.
#include "engine/alerts/AlertPreview.h"
#include "RandomPrices.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

using namespace tradevane;

namespace {

// A year of random daily prices, as the engine holds a downloaded history: the table's heading
// line, then the newest day first.
PriceHistory yearOfPrices(int stock)
{
    return randomPrices(static_cast<unsigned>(20240521 + stock), 10.0 * stock, QDate(2026, 12, 4), 252, true);
}

AlertSettings everyAlert(int stock)
{
    AlertSettings s;
    applyDefaultAlertSettings(s);
    s.watch = Watch::On;
    s.symbol = u"S"_qs + QString::number(stock);
    s.alertsOn.fill(true);
    s.rateOfChangeAbove = 5;
    s.rateOfChangeBelow = -5;
    s.priceAbove = 12.0 * stock;
    s.priceBelow = 8.0 * stock;
    return s;
}

void oneStockEveryKind(benchmark::State& state)
{
    const PriceHistory history = yearOfPrices(1);
    const AlertSettings settings = everyAlert(1);
    for (auto _ : state) {
        AlertPreview preview = previewAlerts(history, StockIndex::fromNumber(1), settings);
        benchmark::DoNotOptimize(preview);
    }
}
BENCHMARK(oneStockEveryKind)->Unit(benchmark::kMillisecond);

void tenStocksEveryKind(benchmark::State& state)
{
    std::vector<PriceHistory> histories;
    std::vector<AlertSettings> settings;
    for (const StockIndex stock : allStocks()) {
        histories.push_back(yearOfPrices(stock.number()));
        settings.push_back(everyAlert(stock.number()));
    }
    for (auto _ : state) {
        for (const StockIndex stock : allStocks()) {
            const auto i = static_cast<std::size_t>(stock.index());
            AlertPreview preview = previewAlerts(histories[i], stock, settings[i]);
            benchmark::DoNotOptimize(preview);
        }
    }
}
BENCHMARK(tenStocksEveryKind)->Unit(benchmark::kMillisecond);

// The longest the window's event loop waits for one step of the preview.
void oneStepOfTheWindow(benchmark::State& state)
{
    const PriceHistory history = yearOfPrices(1);
    const AlertSettings settings = everyAlert(1);
    AlertPreviewRun run(history, StockIndex::fromNumber(1), settings);
    for (auto _ : state) {
        if (run.step(16)) {
            state.PauseTiming();
            run = AlertPreviewRun(history, StockIndex::fromNumber(1), settings);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(oneStepOfTheWindow)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
