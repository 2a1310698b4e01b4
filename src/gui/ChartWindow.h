#pragma once

#include "engine/alerts/AlertPreview.h"
#include "engine/indicators/IndicatorSeries.h"
#include "engine/model/StockState.h"

#include <QWidget>

#include <array>
#include <map>
#include <optional>
#include <vector>

#include <QChartView>

class QLabel;
class QPushButton;
class QStackedWidget;
class QCandlestickSeries;
class QLineSeries;
class QScatterSeries;

namespace tradevane {

class MonitoringSession;

// One pane of the chart: reports where the mouse points (as a bar number), the wheel (zoom around
// that bar) and dragging (a pan by so many bars).
class ChartPane final : public QChartView
{
    Q_OBJECT

public:
    explicit ChartPane(QChart* chart, QWidget* parent = nullptr);

signals:
    void pointedAt(double bar);
    void zoomRequested(double centre, double factor);
    void panRequested(double bars);
    void resized();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    double barAt(const QPointF& position) const;

    std::optional<double> m_dragFrom;
};

// "Chart - ABC": one stock's year of daily bars with the indicators its alerts watch, as the
// monitoring engine holds them. The price pane has the candlesticks, the three moving-average pairs,
// the N-day high and low and the price levels; below it the volume with its 20-day average, the
// slow stochastic with its 80 and 20 lines and the 21-day rate of change with the stock's limits.
// Today's alerts are marked on today's bar. It follows the engine: each quote set redraws today's
// bar, a new history the whole chart. Zoom with the wheel, pan by dragging, Fit shows it all.
class ChartWindow final : public QWidget
{
    Q_OBJECT

public:
    ChartWindow(const MonitoringSession& engine, StockIndex stock, QWidget* parent = nullptr);
    ~ChartWindow() override;

    StockIndex stock() const { return m_stock; }

    // Takes what the engine holds now: the whole chart when the history changed, else today's bar.
    void refresh();
    // Shows `data` with the stock's settings and today's alert lines: the whole chart, or only the
    // last bar when the days are the same as shown. (Refresh ends here; the benchmark starts here.)
    void showData(ChartData data, const AlertSettings& settings, const QStringList& markerTexts);
    // Writes the chart as a PNG picture; false when it cannot be written.
    bool exportPng(const QString& path);

    // What the chart shows, for tests and the benchmark.
    const ChartData& data() const { return m_data; }
    bool showsChart() const;
    QString emptyText() const;
    QStringList markerTexts() const { return m_markerTexts; }
    // The x range shown (bar numbers, the oldest bar 0).
    std::pair<double, double> visibleRange() const { return {m_xMin, m_xMax}; }
    void zoom(double centre, double factor);
    void pan(double bars);
    // The readout of bar `index` (what the mouse points at).
    QString readoutText(int index) const;
    // With Preview on: the days on which the stock's settings would have reported, as bar number
    // and the lines (or the error note) of that day; the tooltip of the day's markers.
    const std::map<int, QStringList>& previewMarks() const { return m_previewMarks; }
    // Preview on or off, as its button does.
    void setPreviewShown(bool shown);

    QLabel* lblReadout = nullptr;
    QPushButton* cmdFit = nullptr;
    QPushButton* cmdPreview = nullptr;
    QPushButton* cmdExport = nullptr;
    QPushButton* cmdClose = nullptr;
    std::array<ChartPane*, 4> panes {}; // price, volume, stochastic, rate of change

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void scheduleAlignment();
    void rebuild();
    void updateLastBar();
    void fillLines();
    void fillMarkers();
    void fillPreviewMarkers();
    void applyRange();
    void alignPlotAreas();
    void onFitClicked();
    void onExportClicked();

    const MonitoringSession& m_engine;
    StockIndex m_stock;
    ChartData m_data;
    AlertSettings m_settings;
    QStringList m_markerTexts;
    double m_xMin = 0.0;
    double m_xMax = 1.0;
    bool m_alignmentDue = false;

    QStackedWidget* m_pages = nullptr;
    QLabel* m_empty = nullptr;
    QWidget* m_chartsPage = nullptr;

    QCandlestickSeries* m_bars = nullptr;
    std::array<QLineSeries*, 6> m_averages {};
    QLineSeries* m_high = nullptr;
    QLineSeries* m_low = nullptr;
    QLineSeries* m_priceAbove = nullptr;
    QLineSeries* m_priceBelow = nullptr;
    QScatterSeries* m_markers = nullptr;
    // Preview: a series of markers per group of alert kinds (crossovers, breakouts, rate of
    // change, stochastic, price levels, volume).
    std::array<QScatterSeries*, 6> m_previewSeries {};
    std::map<int, QStringList> m_previewMarks;
    QCandlestickSeries* m_volume = nullptr;
    QLineSeries* m_averageVolume = nullptr;
    QLineSeries* m_stochK = nullptr;
    QLineSeries* m_stochD = nullptr;
    QLineSeries* m_rate = nullptr;
    QLineSeries* m_rateAbove = nullptr;
    QLineSeries* m_rateBelow = nullptr;
};

} // namespace tradevane
