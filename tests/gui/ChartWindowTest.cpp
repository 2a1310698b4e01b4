// The chart window against a real run of the engine on the simulated clock: what it draws is the
// engine's own history and indicator values, today's alerts are marked, and it follows the quote
// sets.
#include "CycleFixture.h"
#include "widgets/WidgetDriving.h"

#include "engine/settings/AlertSettingsFile.h"
#include "gui/ChartWindow.h"
#include "gui/MainWindow.h"

#include <QCandlestickSeries>
#include <QCandlestickSet>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QTest>

#include <memory>
#include <set>

using namespace tradevane;

namespace {

class Chart : public CycleTest
{
protected:
    void SetUp() override
    {
        CycleTest::SetUp();
        AlertSettings& abc = watch(1, u"ABC"_qs);
        abc.on(AlertKind::PriceAbove) = true;
        abc.priceAbove = 10;
        abc.on(AlertKind::RateOfChangeAbove) = true;
        abc.rateOfChangeAbove = 5;
        abc.rateOfChangeBelow = -5;
        m_http.serve(historyTarget(u"abc"_qs, kMonday), makeHistory(kMonday, 252, 10));
        m_http.serve(quoteTarget(u"abc"_qs), makeQuote(u"ABC"_qs, 12.5, 12, 12.6, 11.9, 5000));
        watch(3, u"BAD"_qs); // no history: the server answers 404
        schedule(8, 0, 16, 0, 5);
    }

    // Runs the engine until `sets` quote sets have ended.
    bool runSets(int sets)
    {
        int finished = 0;
        QObject::connect(
            &m_app.engine, &MonitoringSession::quoteSetFinished, &m_app.engine, [&] { ++finished; });
        return runFrom(QDateTime(kMonday, QTime(8, 0)), [&] { return finished >= sets; });
    }

    static QLineSeries* series(ChartWindow& chart, int pane, const QString& namePrefix)
    {
        for (QAbstractSeries* s : chart.panes[static_cast<std::size_t>(pane)]->chart()->series()) {
            if (s->name().startsWith(namePrefix))
                return qobject_cast<QLineSeries*>(s);
        }
        return nullptr;
    }
    static double lastY(const QLineSeries* s, int fromEnd = 0)
    {
        const QList<QPointF> points = s->points();
        return points.at(points.size() - 1 - fromEnd).y();
    }
};

TEST_F(Chart, DrawsTheEnginesOwnHistoryAndIndicators)
{
    ASSERT_TRUE(runSets(1));
    const StockState& engine = stock(1);
    ChartWindow chart(m_app.engine, StockIndex(0));
    ASSERT_TRUE(chart.showsChart());
    EXPECT_EQ(chart.windowTitle(), u"Chart - ABC"_qs);

    // 252 days of history and today's row from the quote.
    const ChartData& data = chart.data();
    auto* candles = qobject_cast<QCandlestickSeries*>(chart.panes[0]->chart()->series().constFirst());
    ASSERT_EQ(candles->count(), 253);
    EXPECT_EQ(candles->sets().constLast()->close(), 12.5);

    // Today's and the two days before as the engine computed them when it evaluated the alerts.
    const IndicatorValues& ind = engine.indicators;
    const std::array<QString, 6> names {u"Short fast"_qs, u"Short slow"_qs, u"Medium fast"_qs,
        u"Medium slow"_qs, u"Long fast"_qs, u"Long slow"_qs};
    for (std::size_t a = 0; a < names.size(); ++a) {
        QLineSeries* average = series(chart, 0, names[a]);
        ASSERT_NE(average, nullptr) << names[a].toStdString();
        for (int day = 0; day < 3; ++day)
            EXPECT_DOUBLE_EQ(lastY(average, day), ind.movingAverage[a][static_cast<std::size_t>(day)])
                << names[a].toStdString() << " day " << day;
        // An average is drawn only where the history holds all its days.
        EXPECT_EQ(average->count(), 253 - data.movingAveragePeriods[a] + 1);
    }
    EXPECT_DOUBLE_EQ(lastY(series(chart, 1, u"20-day average"_qs)), ind.averageVolume);
    EXPECT_DOUBLE_EQ(lastY(series(chart, 2, u"Slow %K"_qs)), ind.stochK);
    EXPECT_DOUBLE_EQ(lastY(series(chart, 2, u"Slow %D"_qs)), ind.stochD);
    EXPECT_DOUBLE_EQ(lastY(series(chart, 3, u"21-day"_qs)), ind.rateOfChange);
    EXPECT_EQ(lastY(series(chart, 3, u"Limit 5%"_qs)), 5.0);
    EXPECT_EQ(lastY(series(chart, 0, u"Price above"_qs)), 10.0);
    EXPECT_FALSE(chart.readoutText(252).isEmpty());

    // Preview marks every day the settings would have reported on, today with today's lines.
    EXPECT_TRUE(chart.previewMarks().empty());
    chart.setPreviewShown(true);
    const AlertPreview preview
        = previewAlerts(engine.history, StockIndex(0), m_app.engine.alertSettings(StockIndex(0)));
    EXPECT_EQ(static_cast<int>(chart.previewMarks().size()), preview.reportingDays);
    EXPECT_GT(preview.reportingDays, 1);
    ASSERT_TRUE(chart.previewMarks().contains(252));
    EXPECT_EQ(chart.previewMarks().at(252), engine.reportedToday);
    showForScreenshot(&chart);
    saveScreenshot(&chart, screenshotFolder(m_folder.path()), u"chart-preview"_qs);
    chart.setPreviewShown(false);
    EXPECT_TRUE(chart.previewMarks().empty());
}

TEST_F(Chart, MarksTodaysAlertsAndFollowsTheQuoteSets)
{
    SimulatedClock& sim = simulateClock(QDateTime(kMonday, QTime(8, 0)));
    auto chart = std::make_unique<ChartWindow>(m_app.engine, StockIndex(0));
    EXPECT_EQ(chart->emptyText(), u"No prices yet: press START"_qs);

    int finished = 0;
    QObject::connect(&m_app.engine, &MonitoringSession::quoteSetFinished, &m_app.engine, [&] { ++finished; });
    m_app.engine.start();
    ASSERT_TRUE(sim.runUntil([&] { return finished == 1; }, QDateTime(kMonday, QTime(9, 0))));
    ASSERT_TRUE(chart->showsChart());
    const QStringList reported = stock(1).reportedToday;
    EXPECT_EQ(chart->markerTexts(), reported);
    auto* marks = qobject_cast<QScatterSeries*>(chart->panes[0]->chart()->series().constLast());
    ASSERT_EQ(marks->count(), 2);
    EXPECT_EQ(marks->points().constFirst().x(), 252.0);

    // The next set moves today's bar in place; no alert is reported again, the marks stay.
    auto* candles = qobject_cast<QCandlestickSeries*>(chart->panes[0]->chart()->series().constFirst());
    QCandlestickSet* today = candles->sets().constLast();
    m_http.serve(quoteTarget(u"abc"_qs), makeQuote(u"ABC"_qs, 13.1, 12, 13.3, 11.9, 7000));
    ASSERT_TRUE(sim.runUntil([&] { return finished == 2; }, QDateTime(kMonday, QTime(9, 0))));
    EXPECT_EQ(candles->sets().constLast(), today);
    EXPECT_EQ(today->close(), 13.1);
    EXPECT_EQ(today->high(), 13.3);
    EXPECT_EQ(chart->markerTexts(), reported);
    EXPECT_EQ(chart->data().days.back().rateOfChange, stock(1).indicators.rateOfChange);

    // The stock whose history failed says why, in the log's words.
    ChartWindow failed(m_app.engine, StockIndex(2));
    EXPECT_FALSE(failed.showsChart());
    EXPECT_EQ(failed.emptyText(), u"No prices: "_qs + stock(3).lastError);
    EXPECT_EQ(failed.findChild<QLabel*>(u"lblEmpty"_qs)->accessibleName(), failed.emptyText());
    m_app.engine.shutdown();
}

TEST_F(Chart, ZoomsPansFitsAndExportsAPicture)
{
    ASSERT_TRUE(runSets(1));
    ChartWindow chart(m_app.engine, StockIndex(0));
    chart.resize(900, 700);
    chart.show();
    QTest::qWait(20);
    // A day is at the same place in every pane, at any size.
    const auto expectAligned = [&chart] {
        const auto xOf = [](ChartPane* pane, double bar) {
            QChart* c = pane->chart();
            return c->mapToPosition(QPointF(bar, 0), c->series().constLast()).x();
        };
        EXPECT_GT(xOf(chart.panes[0], 200) - xOf(chart.panes[0], 10), 100);
        for (ChartPane* pane : chart.panes) {
            for (const double bar : {10.0, 200.0})
                EXPECT_EQ(xOf(pane, bar), xOf(chart.panes[0], bar)) << pane->accessibleName().toStdString();
        }
    };
    expectAligned();
    chart.resize(1250, 800);
    QTest::qWait(20);
    expectAligned();
    const auto [first, last] = chart.visibleRange();
    EXPECT_EQ(first, -0.5);
    EXPECT_EQ(last, 253.5);

    chart.zoom(200, 0.5);
    auto [zoomFirst, zoomLast] = chart.visibleRange();
    EXPECT_DOUBLE_EQ(zoomLast - zoomFirst, 127.0);
    EXPECT_LT(zoomFirst, 200.0);
    EXPECT_GT(zoomLast, 200.0);
    chart.pan(1000); // never past today
    EXPECT_DOUBLE_EQ(chart.visibleRange().second, 253.5);
    chart.zoom(0, 0.001); // never narrower than ten days
    EXPECT_DOUBLE_EQ(chart.visibleRange().second - chart.visibleRange().first, 10.0);
    chart.cmdFit->click();
    EXPECT_EQ(chart.visibleRange(), std::pair(-0.5, 253.5));

    const QString path = m_folder.filePath(u"abc.png"_qs);
    ASSERT_TRUE(chart.exportPng(path));
    const QImage picture(path);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(
        picture.size(), chart.findChild<QWidget*>(u"fraCharts"_qs)->size() * picture.devicePixelRatio());
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3) {
        for (int x = 0; x < picture.width(); x += 3)
            colours.insert(picture.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 20u) << "the picture is blank";
    EXPECT_FALSE(chart.exportPng(m_folder.filePath(u"no/such/folder/abc.png"_qs)));
}

// Ten charts open from the main window through a whole day of quote sets, then closed; a sanitizer
// build reports any leak.
TEST_F(Chart, TenChartsFollowADayFromTheMainWindow)
{
    MainWindow main(m_app, TrayUse::Never);
    main.show();
    // A double click on a row, and Ctrl with the stock's digit.
    QTest::mouseDClick(main.lblPrice[1], Qt::LeftButton);
    ASSERT_NE(main.chartWindow(1), nullptr);
    EXPECT_TRUE(main.chartWindow(1)->isVisible());
    for (int n = 2; n <= kStockCount; ++n)
        main.showChart(n);
    QTest::keyClick(&main, Qt::Key_3, Qt::ControlModifier);
    for (int n = 1; n <= kStockCount; ++n)
        ASSERT_NE(main.chartWindow(n), nullptr) << n;

    schedule(8, 0, 9, 0, 1);
    ASSERT_TRUE(
        runFrom(QDateTime(kMonday, QTime(8, 0)), [&] { return m_app.engine.quoteSetNumber() >= 30; }));
    EXPECT_EQ(main.chartWindow(1)->data().bars.size(), 253u);
    EXPECT_EQ(main.chartWindow(2)->emptyText(), u"No prices yet: press START"_qs);
    for (int n = 1; n <= kStockCount; ++n)
        main.chartWindow(n)->close();
    QTest::qWait(10); // the closed windows are deleted
    EXPECT_EQ(main.chartWindow(1), nullptr);
}

} // namespace
