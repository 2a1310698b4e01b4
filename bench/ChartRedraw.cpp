// What the chart window costs: the day-by-day indicators of a year of prices (once a day, and
// today's alone after each quote set), and drawing the whole window (every pane, a year of bars)
// after a new history and after a quote set. The window is drawn into a picture on the offscreen
// platform, as a screen would get it. The aim: a redraw under 30 ms.
#include "RandomPrices.h"
#include "engine/indicators/IndicatorSeries.h"
#include "engine/session/AppServices.h"
#include "engine/settings/AlertSettingsFile.h"
#include "gui/ChartWindow.h"

#include <QApplication>
#include <QDate>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

using namespace tradevane;

namespace {

// A year of random daily prices, newest first, under a row for today that today's quote replaces.
PriceHistory yearOfPrices(int seed)
{
    return randomPrices(static_cast<unsigned>(seed), 50.0, QDate(2026, 12, 7), 253, false);
}

AlertSettings watched()
{
    AlertSettings settings;
    applyDefaultAlertSettings(settings);
    settings.symbol = u"ABC"_qs;
    settings.on(AlertKind::PriceAbove) = settings.on(AlertKind::PriceBelow) = true;
    settings.priceAbove = 60;
    settings.priceBelow = 40;
    settings.rateOfChangeAbove = 5;
    settings.rateOfChangeBelow = -5;
    return settings;
}

void BM_IndicatorsOfAYear(benchmark::State& state)
{
    const PriceHistory history = yearOfPrices(1);
    const AlertSettings settings = watched();
    for (auto _ : state)
        benchmark::DoNotOptimize(chartDataOf(history, settings));
}
BENCHMARK(BM_IndicatorsOfAYear)->Unit(benchmark::kMillisecond);

void BM_IndicatorsOfTodayAfterAQuoteSet(benchmark::State& state)
{
    PriceHistory history = yearOfPrices(1);
    const AlertSettings settings = watched();
    ChartData data = chartDataOf(history, settings);
    double close = 50.0;
    for (auto _ : state) {
        close += 0.01;
        history.front().close = close;
        updateLastDay(data, history, settings);
    }
}
BENCHMARK(BM_IndicatorsOfTodayAfterAQuoteSet)->Unit(benchmark::kMillisecond);

struct Window
{
    Window()
        : chart(services.engine, StockIndex(0))
    {
        chart.resize(1280, 800);
        chart.show();
    }
    QImage draw()
    {
        QImage picture(page->size(), QImage::Format_ARGB32_Premultiplied);
        page->render(&picture);
        return picture;
    }
    AppServices services;
    ChartWindow chart;
    QWidget* page = chart.findChild<QWidget*>(u"fraCharts"_qs);
};

// A new day's history: every series taken down and built again, then drawn.
void BM_RedrawAfterANewHistory(benchmark::State& state)
{
    Window window;
    const AlertSettings settings = watched();
    const std::array<ChartData, 2> days {
        chartDataOf(yearOfPrices(1), settings), chartDataOf(yearOfPrices(2), settings)};
    std::size_t day = 0;
    for (auto _ : state) {
        window.chart.showData(days[day++ % 2], settings, {});
        benchmark::DoNotOptimize(window.draw());
    }
}
BENCHMARK(BM_RedrawAfterANewHistory)->Unit(benchmark::kMillisecond);

// A quote set: today's bar and the lines' last points change, then the window is drawn.
void BM_RedrawAfterAQuoteSet(benchmark::State& state)
{
    Window window;
    const AlertSettings settings = watched();
    PriceHistory history = yearOfPrices(1);
    ChartData data = chartDataOf(history, settings);
    window.chart.showData(data, settings, {u"ABC    : Price climbed above $60.00"_qs});
    double close = 50.0;
    for (auto _ : state) {
        close += 0.01;
        history.front().close = close;
        updateLastDay(data, history, settings);
        window.chart.showData(data, settings, {u"ABC    : Price climbed above $60.00"_qs});
        benchmark::DoNotOptimize(window.draw());
    }
}
BENCHMARK(BM_RedrawAfterAQuoteSet)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
