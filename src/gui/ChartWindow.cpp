#include "gui/ChartWindow.h"

#include "engine/session/MonitoringSession.h"
#include "gui/FormControls.h"
#include "platform/Conversions.h"
#include "platform/MessageBox.h"
#include "platform/ReadableText.h"

#include <QCandlestickSeries>
#include <QCandlestickSet>
#include <QCategoryAxis>
#include <QChart>
#include <QDir>
#include <QFileDialog>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QScatterSeries>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace tradevane {

namespace {

enum Pane { PricePane, VolumePane, StochasticPane, RatePane };

const std::array<QColor, 6> kAverageColours {QColor(30, 110, 230), QColor(120, 170, 240), QColor(230, 120, 0),
    QColor(240, 180, 90), QColor(150, 40, 170), QColor(200, 140, 210)};
const std::array<const char16_t*, 6> kAverageNames {
    u"Short fast", u"Short slow", u"Medium fast", u"Medium slow", u"Long fast", u"Long slow"};
const QColor kRising(20, 150, 60);
const QColor kFalling(210, 40, 40);
const QColor kLevel(120, 120, 120);

QString number(double value, int decimals = 2)
{
    return QLocale::c().toString(value, 'f', decimals);
}

QLineSeries* line(
    const QString& name, const QColor& colour, qreal width = 1.5, Qt::PenStyle style = Qt::SolidLine)
{
    auto* series = new QLineSeries;
    series->setName(name);
    QPen pen(colour, width, style);
    series->setPen(pen);
    return series;
}

QChart* newChart()
{
    auto* chart = new QChart;
    chart->setMargins(QMargins(4, 2, 4, 2));
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(Qt::AlignTop);
    QFont small = chart->legend()->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    chart->legend()->setFont(small);
    return chart;
}

// The x axis of a pane (bar numbers) and its y axis; every series of the pane uses both. Bars
// cannot be drawn on a category axis: a candlestick series gets a hidden value axis of its own,
// always given the same range.
void attach(QChart* chart, const QList<QAbstractSeries*>& series, QAbstractAxis* x, QValueAxis* y)
{
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    QValueAxis* bars = nullptr;
    for (QAbstractSeries* s : series) {
        chart->addSeries(s);
        if (s->type() == QAbstractSeries::SeriesTypeCandlestick) {
            if (!bars) {
                bars = new QValueAxis;
                bars->setVisible(false);
                chart->addAxis(bars, Qt::AlignBottom);
            }
            s->attachAxis(bars);
        } else {
            s->attachAxis(x);
        }
        s->attachAxis(y);
    }
}

// The days axis: a grid line where a month begins (the same in every pane), labelled in the lowest.
QCategoryAxis* daysAxis()
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    QFont small = axis->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    axis->setLabelsFont(small);
    return axis;
}

QValueAxis* valueAxis(const QString& format)
{
    auto* axis = new QValueAxis;
    axis->setLabelFormat(format);
    QFont small = axis->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    axis->setLabelsFont(small);
    return axis;
}

// A horizontal line across every bar; empty when there is no level.
void setLevel(QLineSeries* series, std::optional<double> level, qsizetype bars)
{
    if (!level || bars == 0) {
        series->clear();
        return;
    }
    series->replace({QPointF(-0.5, *level), QPointF(static_cast<qreal>(bars) - 0.5, *level)});
}

// The preview's marker groups, in the order of the kinds.
struct MarkerGroup
{
    const char16_t* name;
    QScatterSeries::MarkerShape shape;
    QColor colour;
};
const std::array<MarkerGroup, 6> kPreviewGroups {{
    {u"Preview: crossover", QScatterSeries::MarkerShapeCircle, QColor(30, 110, 230)},
    {u"Preview: new high or low", QScatterSeries::MarkerShapeTriangle, QColor(20, 150, 60)},
    {u"Preview: rate of change", QScatterSeries::MarkerShapeRectangle, QColor(150, 40, 170)},
    {u"Preview: stochastic", QScatterSeries::MarkerShapePentagon, QColor(230, 120, 0)},
    {u"Preview: price level", QScatterSeries::MarkerShapeStar, QColor(90, 90, 90)},
    {u"Preview: volume surge", QScatterSeries::MarkerShapeRectangle, QColor(110, 130, 160)},
}};

std::size_t previewGroupOf(AlertKind kind)
{
    switch (kind) {
    case AlertKind::ShortCrossUp:
    case AlertKind::ShortCrossDown:
    case AlertKind::MediumCrossUp:
    case AlertKind::MediumCrossDown:
    case AlertKind::LongCrossUp:
    case AlertKind::LongCrossDown:
        return 0;
    case AlertKind::HighestHigh:
    case AlertKind::LowestLow:
        return 1;
    case AlertKind::RateOfChangeAbove:
    case AlertKind::RateOfChangeBelow:
        return 2;
    case AlertKind::StochasticAbove80:
    case AlertKind::StochasticBelow20:
        return 3;
    case AlertKind::PriceAbove:
    case AlertKind::PriceBelow:
        return 4;
    case AlertKind::VolumeSurge:
        break;
    }
    return 5;
}

QList<QPointF> points(
    const std::vector<IndicatorDay>& days, const std::function<SeriesValue(const IndicatorDay&)>& of)
{
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(days.size()));
    for (std::size_t i = 0; i < days.size(); ++i) {
        if (const SeriesValue value = of(days[i]))
            list.append(QPointF(static_cast<qreal>(i), *value));
    }
    return list;
}

} // namespace

ChartPane::ChartPane(QChart* chart, QWidget* parent)
    : QChartView(chart, parent)
{
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
}

double ChartPane::barAt(const QPointF& position) const
{
    return chart()->mapToValue(chart()->mapFromScene(mapToScene(position.toPoint()))).x();
}

void ChartPane::mouseMoveEvent(QMouseEvent* event)
{
    const double bar = barAt(event->position());
    if (m_dragFrom) {
        emit panRequested(*m_dragFrom - bar);
        // After the pan the same screen point shows another bar; the drag goes on from there.
        m_dragFrom = barAt(event->position());
    }
    emit pointedAt(bar);
    QChartView::mouseMoveEvent(event);
}

void ChartPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragFrom = barAt(event->position());
        setCursor(Qt::ClosedHandCursor);
    }
    QChartView::mousePressEvent(event);
}

void ChartPane::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragFrom.reset();
    unsetCursor();
    QChartView::mouseReleaseEvent(event);
}

void ChartPane::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    emit resized();
}

void ChartPane::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0.0)
        emit zoomRequested(barAt(event->position()), std::pow(0.8, steps));
    event->accept();
}

ChartWindow::ChartWindow(const MonitoringSession& engine, StockIndex stock, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_engine(engine)
    , m_stock(stock)
{
    setObjectName(u"frmChart"_qs);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    // A quote set redraws today's bar; the history of a new day arrives before the quote sets.
    connect(&m_engine, &MonitoringSession::quoteSetFinished, this, &ChartWindow::refresh);
    connect(&m_engine, &MonitoringSession::stateChanged, this, [this](MonitoringSession::State state) {
        if (state == MonitoringSession::State::WaitingQuoteStart || state == MonitoringSession::State::Idle)
            refresh();
    });
    refresh();
    resize(960, 720);
}

ChartWindow::~ChartWindow() = default;

void ChartWindow::buildControls()
{
    lblReadout = new QLabel(this);
    lblReadout->setObjectName(u"lblReadout"_qs);
    lblReadout->setAccessibleName(u"Values under the mouse"_qs);
    lblReadout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblReadout->setTextFormat(Qt::PlainText); // dates and prices as the server sent them
    cmdPreview
        = named<QPushButton>(u"Preview"_qs, u"cmdPreview"_qs, this, u"Preview alerts over the year"_qs);
    cmdPreview->setCheckable(true);
    cmdPreview->setToolTip(u"Mark every day on which the stock's alert settings would have reported"_qs);
    cmdFit = named<QPushButton>(u"Fit"_qs, u"cmdFit"_qs, this);
    cmdFit->setToolTip(u"Show the whole year"_qs);
    cmdExport = named<QPushButton>(u"Export PNG..."_qs, u"cmdExport"_qs, this, u"Export PNG"_qs);
    cmdClose = named<QPushButton>(u"Close"_qs, u"cmdClose"_qs, this);
    auto* top = new QHBoxLayout;
    top->addWidget(lblReadout, 1);
    top->addWidget(cmdPreview);
    top->addWidget(cmdFit);
    top->addWidget(cmdExport);
    top->addWidget(cmdClose);

    // The price pane.
    QChart* price = newChart();
    m_bars = new QCandlestickSeries;
    m_bars->setName(u"Daily bars"_qs);
    m_bars->setIncreasingColor(kRising);
    m_bars->setDecreasingColor(kFalling);
    m_bars->setBodyOutlineVisible(false);
    QList<QAbstractSeries*> priceSeries {m_bars};
    for (std::size_t a = 0; a < m_averages.size(); ++a) {
        m_averages[a] = line(QString::fromUtf16(kAverageNames[a]), kAverageColours[a], a % 2 == 0 ? 1.6 : 1.2,
            a % 2 == 0 ? Qt::SolidLine : Qt::DashLine);
        priceSeries.append(m_averages[a]);
    }
    m_high = line(u"N-day high"_qs, kRising, 1.0, Qt::DotLine);
    m_low = line(u"N-day low"_qs, kFalling, 1.0, Qt::DotLine);
    m_priceAbove = line(u"Price above"_qs, kLevel, 1.2, Qt::DashDotLine);
    m_priceBelow = line(u"Price below"_qs, kLevel, 1.2, Qt::DashDotDotLine);
    m_markers = new QScatterSeries;
    m_markers->setName(u"Alerts today"_qs);
    m_markers->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
    m_markers->setMarkerSize(13);
    m_markers->setColor(QColor(255, 200, 40));
    m_markers->setBorderColor(QColor(160, 40, 0));
    priceSeries << m_high << m_low << m_priceAbove << m_priceBelow;
    for (std::size_t g = 0; g < kPreviewGroups.size(); ++g) {
        auto* marks = new QScatterSeries;
        marks->setName(QString::fromUtf16(kPreviewGroups[g].name));
        marks->setMarkerShape(kPreviewGroups[g].shape);
        marks->setMarkerSize(7);
        marks->setColor(kPreviewGroups[g].colour);
        marks->setBorderColor(Qt::white);
        m_previewSeries[g] = marks;
        priceSeries << marks;
    }
    priceSeries << m_markers; // today's alerts stay the last series
    attach(price, priceSeries, daysAxis(), valueAxis(u"%.2f"_qs));

    // Volume: bars from 0 to the day's volume, and the 20-day average.
    QChart* volume = newChart();
    m_volume = new QCandlestickSeries;
    m_volume->setName(u"Volume"_qs);
    m_volume->setIncreasingColor(QColor(110, 130, 160));
    m_volume->setDecreasingColor(QColor(110, 130, 160));
    m_volume->setBodyOutlineVisible(false);
    m_volume->setCapsVisible(false);
    m_averageVolume = line(u"20-day average"_qs, QColor(230, 120, 0));
    attach(volume, {m_volume, m_averageVolume}, daysAxis(), valueAxis(u"%.0f"_qs));

    QChart* stochastic = newChart();
    m_stochK = line(u"Slow %K"_qs, QColor(30, 110, 230));
    m_stochD = line(u"Slow %D"_qs, QColor(230, 120, 0), 1.2, Qt::DashLine);
    QLineSeries* above80 = line(u"80"_qs, kLevel, 1.0, Qt::DotLine);
    QLineSeries* below20 = line(u"20"_qs, kLevel, 1.0, Qt::DotLine);
    above80->setObjectName(u"line80"_qs);
    below20->setObjectName(u"line20"_qs);
    QValueAxis* percent = valueAxis(u"%.0f"_qs);
    percent->setRange(0, 100);
    percent->setTickCount(3);
    attach(stochastic, {m_stochK, m_stochD, above80, below20}, daysAxis(), percent);

    QChart* rate = newChart();
    m_rate = line(u"21-day rate of change %"_qs, QColor(150, 40, 170));
    m_rateAbove = line(u"ROC limit above"_qs, kRising, 1.0, Qt::DotLine);
    m_rateBelow = line(u"ROC limit below"_qs, kFalling, 1.0, Qt::DotLine);
    attach(rate, {m_rate, m_rateAbove, m_rateBelow}, daysAxis(), valueAxis(u"%.0f"_qs));

    const std::array<std::pair<QChart*, const char16_t*>, 4> charts {{{price, u"Price chart"},
        {volume, u"Volume chart"}, {stochastic, u"Stochastic chart"}, {rate, u"Rate of change chart"}}};
    m_chartsPage = new QWidget(this);
    m_chartsPage->setObjectName(u"fraCharts"_qs);
    auto* column = new QVBoxLayout(m_chartsPage);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    for (std::size_t p = 0; p < charts.size(); ++p) {
        auto* pane = new ChartPane(charts[p].first, m_chartsPage);
        pane->setObjectName(u"chart"_qs + QString::number(p));
        pane->setAccessibleName(QString::fromUtf16(charts[p].second));
        // Only the lowest pane names the months.
        if (p + 1 < charts.size())
            charts[p].first->axes(Qt::Horizontal).constFirst()->setLabelsVisible(false);
        connect(pane, &ChartPane::pointedAt, this, [this](double bar) {
            const int index = static_cast<int>(std::lround(bar));
            if (index >= 0 && static_cast<std::size_t>(index) < m_data.bars.size())
                lblReadout->setText(readoutText(index));
        });
        connect(pane, &ChartPane::zoomRequested, this, &ChartWindow::zoom);
        connect(pane, &ChartPane::panRequested, this, &ChartWindow::pan);
        connect(pane, &ChartPane::resized, this, &ChartWindow::scheduleAlignment);
        column->addWidget(pane, p == PricePane ? 5 : 2);
        panes[p] = pane;
    }
    for (QScatterSeries* marks : m_previewSeries) {
        connect(marks, &QScatterSeries::hovered, this, [this](const QPointF& point, bool state) {
            const auto found = m_previewMarks.find(static_cast<int>(std::lround(point.x())));
            if (!state || found == m_previewMarks.end()) {
                QToolTip::hideText();
                return;
            }
            // The lines come from the settings and the history: shown as text, never as markup.
            const QString text = m_data.bars[static_cast<std::size_t>(found->first)].dateText + u'\n'
                + found->second.join(u'\n');
            QToolTip::showText(
                QCursor::pos(), u"<pre>"_qs + text.toHtmlEscaped() + u"</pre>"_qs, panes[PricePane]);
        });
    }
    connect(cmdPreview, &QPushButton::toggled, this, [this] {
        fillPreviewMarkers();
        applyRange();
    });
    connect(m_markers, &QScatterSeries::hovered, this, [this](const QPointF& point, bool state) {
        const qsizetype index = m_markers->points().indexOf(point);
        if (state && index >= 0 && index < m_markerTexts.size())
            QToolTip::showText(QCursor::pos(), m_markerTexts.at(index), panes[PricePane]);
        else
            QToolTip::hideText();
    });
    // The legend does not list the level lines of the stochastic pane.
    for (QLegendMarker* marker :
        stochastic->legend()->markers(above80) + stochastic->legend()->markers(below20))
        marker->setVisible(false);

    m_empty = new QLabel(this);
    m_empty->setObjectName(u"lblEmpty"_qs);
    m_empty->setTextFormat(Qt::PlainText);
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setWordWrap(true);
    QFont big = m_empty->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    m_empty->setFont(big);

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(m_empty);
    m_pages->addWidget(m_chartsPage);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addWidget(m_pages, 1);

    connect(cmdFit, &QPushButton::clicked, this, &ChartWindow::onFitClicked);
    connect(cmdExport, &QPushButton::clicked, this, &ChartWindow::onExportClicked);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

bool ChartWindow::showsChart() const
{
    return m_pages->currentWidget() == m_chartsPage;
}

QString ChartWindow::emptyText() const
{
    return showsChart() ? QString() : m_empty->text();
}

void ChartWindow::refresh()
{
    m_settings = m_engine.alertSettings(m_stock);
    const StockState& state = m_engine.stock(m_stock);
    const QString symbol = m_settings.symbol.trimmed();
    setWindowTitle(
        u"Chart - "_qs + (symbol.isEmpty() ? u"Stock #"_qs + QString::number(m_stock.number()) : symbol));
    setAccessibleName(windowTitle());

    ChartData data = m_data;
    updateLastDay(data, state.history, m_settings);
    if (data.empty()) {
        m_data = std::move(data);
        const QString why = state.lastError.isEmpty()
            ? u"No prices yet: press START"_qs
            : u"No prices: "_qs + readableLine(state.lastError, 300);
        m_empty->setText(why);
        // What a screen reader says of the chart: why there is none.
        m_empty->setAccessibleName(why);
        m_empty->setAccessibleDescription(why);
        m_pages->setCurrentWidget(m_empty);
        return;
    }
    showData(std::move(data), m_settings, state.reportedToday);
}

void ChartWindow::showData(ChartData data, const AlertSettings& settings, const QStringList& markerTexts)
{
    // The same days as shown, today's bar aside: only that bar is drawn again.
    const auto sameDay = [](const ChartBar& a, const ChartBar& b) { return a.dateText == b.dateText; };
    const std::size_t n = data.bars.size();
    const bool sameDays = showsChart() && n >= 2 && n == m_data.bars.size()
        && m_bars->count() == static_cast<int>(n) && sameDay(data.bars.front(), m_data.bars.front())
        && sameDay(data.bars[n - 2], m_data.bars[n - 2]);
    m_data = std::move(data);
    m_settings = settings;
    m_markerTexts = markerTexts;
    m_pages->setCurrentWidget(m_chartsPage);
    if (sameDays)
        updateLastBar();
    else
        rebuild();
}

void ChartWindow::rebuild()
{
    QList<QCandlestickSet*> bars;
    QList<QCandlestickSet*> volumes;
    bars.reserve(static_cast<qsizetype>(m_data.bars.size()));
    volumes.reserve(bars.capacity());
    for (std::size_t i = 0; i < m_data.bars.size(); ++i) {
        const ChartBar& bar = m_data.bars[i];
        const auto x = static_cast<qreal>(i);
        bars.append(new QCandlestickSet(bar.open, bar.high, bar.low, bar.close, x));
        volumes.append(new QCandlestickSet(0, bar.volume, 0, bar.volume, x));
    }
    m_bars->clear();
    m_bars->append(bars);
    m_volume->clear();
    m_volume->append(volumes);

    // A category where a month begins, in every pane.
    for (ChartPane* pane : panes) {
        auto* months = static_cast<QCategoryAxis*>(pane->chart()->axes(Qt::Horizontal).constFirst());
        for (const QString& label : months->categoriesLabels())
            months->remove(label);
        int lastMonth = 0;
        for (std::size_t i = 0; i < m_data.bars.size(); ++i) {
            const QDate date = m_data.bars[i].date;
            if (!date.isValid() || date.month() == lastMonth)
                continue;
            lastMonth = date.month();
            months->append(QLocale::c().toString(date, date.month() == 1 ? u"MMM yyyy"_qs : u"MMM"_qs),
                static_cast<qreal>(i) - 0.5);
        }
    }
    fillLines();
    fillMarkers();
    fillPreviewMarkers();
    onFitClicked();
    lblReadout->setText(readoutText(static_cast<int>(m_data.bars.size()) - 1));
}

void ChartWindow::updateLastBar()
{
    // Today's bar changes in place: no series is taken down, nothing flickers.
    const ChartBar& bar = m_data.bars.back();
    QCandlestickSet* last = m_bars->sets().constLast();
    last->setOpen(bar.open);
    last->setHigh(bar.high);
    last->setLow(bar.low);
    last->setClose(bar.close);
    QCandlestickSet* volume = m_volume->sets().constLast();
    volume->setHigh(bar.volume);
    volume->setClose(bar.volume);
    fillLines();
    fillMarkers();
    fillPreviewMarkers();
    applyRange();
    lblReadout->setText(readoutText(static_cast<int>(m_data.bars.size()) - 1));
}

void ChartWindow::fillLines()
{
    const AlertSettings& settings = m_settings;
    const auto bars = static_cast<qsizetype>(m_data.bars.size());
    for (std::size_t a = 0; a < m_averages.size(); ++a) {
        m_averages[a]->setName(
            QString::fromUtf16(kAverageNames[a]) + u' ' + QString::number(m_data.movingAveragePeriods[a]));
        m_averages[a]->replace(
            points(m_data.days, [a](const IndicatorDay& d) { return d.movingAverage[a]; }));
    }
    m_high->setName(QString::number(settings.highestHighDays) + u"-day high"_qs);
    m_low->setName(QString::number(settings.lowestLowDays) + u"-day low"_qs);
    setLevel(m_high, m_data.highestHigh, bars);
    setLevel(m_low, m_data.lowestLow, bars);
    const auto levelIf
        = [](bool on, double price) { return on && price > 0 ? std::optional(price) : std::nullopt; };
    setLevel(m_priceAbove, levelIf(settings.on(AlertKind::PriceAbove), settings.priceAbove), bars);
    setLevel(m_priceBelow, levelIf(settings.on(AlertKind::PriceBelow), settings.priceBelow), bars);
    m_priceAbove->setName(u"Price above "_qs + number(settings.priceAbove));
    m_priceBelow->setName(u"Price below "_qs + number(settings.priceBelow));
    for (QLineSeries* level : {m_priceAbove, m_priceBelow}) {
        for (QLegendMarker* marker : panes[PricePane]->chart()->legend()->markers(level))
            marker->setVisible(level->count() > 0);
    }

    m_averageVolume->replace(points(m_data.days, [](const IndicatorDay& d) { return d.averageVolume; }));
    m_stochK->replace(points(m_data.days, [](const IndicatorDay& d) { return d.stochK; }));
    m_stochD->replace(points(m_data.days, [](const IndicatorDay& d) { return d.stochD; }));
    const QList<QAbstractSeries*> stochastic = panes[StochasticPane]->chart()->series();
    for (QAbstractSeries* s : stochastic) {
        if (s->objectName() == u"line80"_qs)
            setLevel(static_cast<QLineSeries*>(s), 80.0, bars);
        else if (s->objectName() == u"line20"_qs)
            setLevel(static_cast<QLineSeries*>(s), 20.0, bars);
    }
    m_rate->replace(points(m_data.days, [](const IndicatorDay& d) { return d.rateOfChange; }));
    setLevel(m_rateAbove,
        settings.rateOfChangeAbove != 0 ? std::optional<double>(settings.rateOfChangeAbove) : std::nullopt,
        bars);
    setLevel(m_rateBelow,
        settings.rateOfChangeBelow != 0 ? std::optional<double>(settings.rateOfChangeBelow) : std::nullopt,
        bars);
    m_rateAbove->setName(u"Limit "_qs + QString::number(settings.rateOfChangeAbove) + u'%');
    m_rateBelow->setName(u"Limit "_qs + QString::number(settings.rateOfChangeBelow) + u'%');
}

void ChartWindow::fillMarkers()
{
    // Today's alerts stand one above the other over today's bar.
    QList<QPointF> marks;
    const bool today = !m_data.bars.empty() && !m_markerTexts.isEmpty();
    if (today) {
        const ChartBar& bar = m_data.bars.back();
        const double step = std::max(bar.high * 0.012, 0.01);
        for (qsizetype i = 0; i < m_markerTexts.size(); ++i)
            marks.append(QPointF(
                static_cast<qreal>(m_data.bars.size() - 1), bar.high + step * static_cast<double>(i + 1)));
    }
    m_markers->replace(marks);
}

void ChartWindow::setPreviewShown(bool shown)
{
    cmdPreview->setChecked(shown);
}

void ChartWindow::fillPreviewMarkers()
{
    // Every day with a line gets a marker per group of its kinds, one under the other below the
    // day's low.
    m_previewMarks.clear();
    std::array<QList<QPointF>, kPreviewGroups.size()> marks;
    if (cmdPreview->isChecked() && !m_data.bars.empty()) {
        const PriceHistory& history = m_engine.stock(m_stock).history;
        const AlertPreview preview = previewAlerts(history, m_stock, m_settings);
        const int newest = firstDayRow(history);
        const int lastBar = static_cast<int>(m_data.bars.size()) - 1;
        for (const PreviewDay& day : preview.days) {
            const int bar = lastBar - (day.row - newest);
            if (day.lines.isEmpty() || bar < 0 || bar > lastBar
                || m_data.bars[static_cast<std::size_t>(bar)].dateText != day.dateText)
                continue;
            m_previewMarks[bar] = day.lines;
            const ChartBar& b = m_data.bars[static_cast<std::size_t>(bar)];
            const double step = std::max(b.high * 0.02, 0.01);
            std::array<bool, kPreviewGroups.size()> fired {};
            for (const AlertKind kind : day.kinds)
                fired[previewGroupOf(kind)] = true;
            int stack = 0;
            for (std::size_t g = 0; g < fired.size(); ++g) {
                if (fired[g])
                    marks[g].append(QPointF(static_cast<qreal>(bar), b.low - step * ++stack));
            }
        }
    }
    for (std::size_t g = 0; g < marks.size(); ++g) {
        m_previewSeries[g]->replace(marks[g]);
        for (QLegendMarker* marker : panes[PricePane]->chart()->legend()->markers(m_previewSeries[g]))
            marker->setVisible(!marks[g].isEmpty());
    }
}

void ChartWindow::zoom(double centre, double factor)
{
    const double bars = static_cast<double>(m_data.bars.size());
    const double width = std::clamp((m_xMax - m_xMin) * factor, std::min(10.0, bars), bars);
    const double share = m_xMax > m_xMin ? (centre - m_xMin) / (m_xMax - m_xMin) : 0.5;
    m_xMin = centre - width * std::clamp(share, 0.0, 1.0);
    m_xMax = m_xMin + width;
    pan(0);
}

void ChartWindow::pan(double bars)
{
    const double width = m_xMax - m_xMin;
    const double first = -0.5;
    const double last = static_cast<double>(m_data.bars.size()) + 0.5;
    m_xMin = std::clamp(m_xMin + bars, first, std::max(first, last - width));
    m_xMax = m_xMin + width;
    applyRange();
}

void ChartWindow::onFitClicked()
{
    // A bar's width of room after today's bar, for its alert marks.
    m_xMin = -0.5;
    m_xMax = static_cast<double>(m_data.bars.size()) + 0.5;
    applyRange();
}

void ChartWindow::applyRange()
{
    // Every pane shows the same days; the price and volume scales fit the days shown.
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    double rateLow = 0.0;
    double rateHigh = 0.0;
    double volume = 0.0;
    const auto first = static_cast<std::size_t>(std::max(0.0, std::ceil(m_xMin)));
    const auto end
        = std::min(m_data.bars.size(), static_cast<std::size_t>(std::max(0.0, std::floor(m_xMax) + 1)));
    for (std::size_t i = first; i < end; ++i) {
        const ChartBar& bar = m_data.bars[i];
        low = std::min(low, bar.low);
        high = std::max(high, bar.high);
        volume = std::max(volume, bar.volume);
        if (const SeriesValue rate = m_data.days[i].rateOfChange) {
            rateLow = std::min(rateLow, *rate);
            rateHigh = std::max(rateHigh, *rate);
        }
    }
    if (low > high)
        low = high = 0.0;
    for (const QPointF& p : m_markers->points())
        high = std::max(high, p.y());
    for (const QScatterSeries* marks : m_previewSeries) {
        for (const QPointF& p : marks->points()) {
            if (p.x() >= m_xMin && p.x() <= m_xMax)
                low = std::min(low, p.y());
        }
    }
    const AlertSettings& settings = m_settings;
    rateLow = std::min(rateLow, double(settings.rateOfChangeBelow));
    rateHigh = std::max(rateHigh, double(settings.rateOfChangeAbove));
    const double pad = std::max((high - low) * 0.04, 0.01);

    const std::array<std::pair<double, double>, 4> yRanges {
        {{low - pad, high + pad}, {0.0, volume * 1.08 + 1}, {0.0, 100.0}, {rateLow - 1.0, rateHigh + 1.0}}};
    for (std::size_t p = 0; p < panes.size(); ++p) {
        QChart* chart = panes[p]->chart();
        for (QAbstractAxis* x : chart->axes(Qt::Horizontal))
            x->setRange(m_xMin, m_xMax);
        auto* y = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).constFirst());
        y->setRange(yRanges[p].first, yRanges[p].second);
        if (p != StochasticPane)
            y->applyNiceNumbers();
    }
    scheduleAlignment();
}

void ChartWindow::scheduleAlignment()
{
    // Once the panes have laid themselves out at their new size or scale.
    if (m_alignmentDue)
        return;
    m_alignmentDue = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_alignmentDue = false;
            alignPlotAreas();
        },
        Qt::QueuedConnection);
}

void ChartWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    scheduleAlignment();
}

void ChartWindow::alignPlotAreas()
{
    // The panes' y scales have labels of different widths; their plot areas are lined up so that
    // a day is at the same place in every pane.
    double left = 0.0;
    double right = std::numeric_limits<double>::max();
    for (ChartPane* pane : panes) {
        pane->chart()->setPlotArea(QRectF());
        pane->chart()->layout()->activate();
        const QRectF area = pane->chart()->plotArea();
        left = std::max(left, area.left());
        right = std::min(right, area.right());
    }
    if (right <= left)
        return;
    for (ChartPane* pane : panes) {
        const QRectF area = pane->chart()->plotArea();
        pane->chart()->setPlotArea(QRectF(left, area.top(), right - left, area.height()));
        pane->chart()->layout()->invalidate(); // the series follow the new area, not only plotArea()
    }
}

QString ChartWindow::readoutText(int index) const
{
    const auto i = static_cast<std::size_t>(index);
    if (i >= m_data.bars.size())
        return {};
    const ChartBar& bar = m_data.bars[i];
    const IndicatorDay& day = m_data.days[i];
    QStringList parts {bar.dateText, u"O "_qs + number(bar.open), u"H "_qs + number(bar.high),
        u"L "_qs + number(bar.low), u"C "_qs + number(bar.close),
        u"Vol "_qs + QLocale::c().toString(static_cast<qlonglong>(bar.volume))};
    for (std::size_t a = 0; a < day.movingAverage.size(); ++a) {
        if (day.movingAverage[a])
            parts.append(u"MA"_qs + QString::number(m_data.movingAveragePeriods[a]) + u' '
                + number(*day.movingAverage[a]));
    }
    if (day.stochK && day.stochD)
        parts.append(u"%K "_qs + number(*day.stochK, 1) + u" %D "_qs + number(*day.stochD, 1));
    if (day.rateOfChange)
        parts.append(u"ROC "_qs + number(*day.rateOfChange, 1) + u'%');
    return parts.join(u"  "_qs);
}

bool ChartWindow::exportPng(const QString& path)
{
    if (!showsChart())
        return false;
    const QPixmap picture = m_chartsPage->grab();
    return !picture.isNull() && picture.save(path, "PNG");
}

void ChartWindow::onExportClicked()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString symbol = m_settings.symbol.trimmed();
    const QString suggested = QDir(folder).filePath((symbol.isEmpty() ? u"chart"_qs : symbol) + u'-'
        + QDate::currentDate().toString(Qt::ISODate) + u".png"_qs);
    QString path
        = QFileDialog::getSaveFileName(this, u"Export Chart"_qs, suggested, u"PNG pictures (*.png)"_qs);
    if (path.isEmpty())
        return;
    if (!path.endsWith(u".png"_qs, Qt::CaseInsensitive))
        path += u".png"_qs;
    if (!exportPng(path))
        msgBox(u"The chart could not be written to "_qs + QDir::toNativeSeparators(path)
                + u".\r\nCheck that the folder exists and that you may write to it."_qs,
            MsgButtons::OkOnly, u"Export Chart"_qs, MsgIcon::Exclamation);
}

} // namespace tradevane
