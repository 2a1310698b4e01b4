// What one quote set costs in indicator work: for ten watched stocks, the history copy and
// every indicator in the cycle's order, then the alert flags of each stock.
#include "core/MonitoringCycle.h"
#include "core/VarDef.h"
#include "indicators/SetAlerts.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

// Ten stocks with a year of random daily prices and every alert switched on.
void fillTenStocks()
{
    ResetProgramState();
    std::mt19937 random(20240521);
    std::uniform_real_distribution<double> step(-0.03, 0.03);
    std::uniform_real_distribution<double> spread(0.0, 0.02);
    std::uniform_int_distribution<int> volume(100000, 5000000);
    const auto price = [](double v) { return QString::number(v, 'f', 2); };
    for (int stock = 1; stock <= kStockCount; ++stock) {
        HistoryArray& history = gHistory[stock];
        double close = 10.0 * stock;
        for (int row = 0; row < 252; ++row) {
            const double open = close;
            close = std::max(0.5, close * (1.0 + step(random)));
            history[6 * row] = u"2024-05-21"_qs;
            history[6 * row + 1] = price(open);
            history[6 * row + 2] = price(std::max(open, close) * (1.0 + spread(random)));
            history[6 * row + 3] = price(std::min(open, close) * (1.0 - spread(random)));
            history[6 * row + 4] = price(close);
            history[6 * row + 5] = QString::number(volume(random));
        }
        AlertSettings& s = gAlertSettings[stock];
        s.Enabled = vbTrue;
        for (quint8* on :
            {&s.MACond1, &s.MACond2, &s.MACond3, &s.MACond4, &s.MACond5, &s.MACond6, &s.HHAlert, &s.LLAlert,
                &s.ROCUp, &s.ROCDown, &s.Stoch80, &s.Stoch20, &s.PriceAbove, &s.PriceBelow, &s.VolumeUp})
            *on = 1;
        s.HHDays = 20;
        s.LLDays = 20;
        s.ROCPlus = 5;
        s.ROCMinus = -5;
        s.MaxPrice = 1000.0;
        s.MinPrice = 1.0;
        gQuotes[stock].Last = history[4];
    }
}

void runIndicators(int stock)
{
    StockID = static_cast<qint16>(stock);
    gWorkData = gHistory[stock];
    MonitoringCycle::CalcIndicators();
}

void BM_IndicatorsAndAlertFlagsTenStocks(benchmark::State& state)
{
    fillTenStocks();
    for (auto _ : state) {
        for (int stock = 1; stock <= kStockCount; ++stock)
            runIndicators(stock);
        for (int stock = 1; stock <= kStockCount; ++stock) {
            StockID = static_cast<qint16>(stock);
            SetAlertFlags();
        }
        benchmark::DoNotOptimize(gAlertState);
    }
    if (std::any_of(gDownloadError.begin(), gDownloadError.end(), [](qint16 e) { return e != 0; }))
        state.SkipWithError("an indicator failed");
}
BENCHMARK(BM_IndicatorsAndAlertFlagsTenStocks)->Unit(benchmark::kMicrosecond);

void BM_IndicatorsTenStocks(benchmark::State& state)
{
    fillTenStocks();
    for (auto _ : state) {
        for (int stock = 1; stock <= kStockCount; ++stock)
            runIndicators(stock);
        benchmark::DoNotOptimize(gIndicators);
    }
}
BENCHMARK(BM_IndicatorsTenStocks)->Unit(benchmark::kMicrosecond);

void BM_AlertFlagsTenStocks(benchmark::State& state)
{
    fillTenStocks();
    for (int stock = 1; stock <= kStockCount; ++stock)
        runIndicators(stock);
    for (auto _ : state) {
        for (int stock = 1; stock <= kStockCount; ++stock) {
            StockID = static_cast<qint16>(stock);
            SetAlertFlags();
        }
        benchmark::DoNotOptimize(gAlertState);
    }
}
BENCHMARK(BM_AlertFlagsTenStocks)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
