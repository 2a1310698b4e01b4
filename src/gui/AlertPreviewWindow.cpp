#include "gui/AlertPreviewWindow.h"

#include "engine/marketdata/PriceSource.h"

#include "engine/indicators/IndicatorSeries.h"
#include "engine/marketdata/HistoryRetrieval.h"
#include "engine/session/MonitoringSession.h"
#include "gui/FormControls.h"
#include "platform/Clock.h"
#include "platform/Conversions.h"
#include "platform/ReadableText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace tradevane {

namespace {

// Days previewed between two returns to the event loop: well under a millisecond each.
constexpr int kDaysPerStep = 16;

QTableWidget* table(
    const QString& name, const QString& accessible, const QStringList& headings, QWidget* parent)
{
    auto* t = new QTableWidget(0, static_cast<int>(headings.size()), parent);
    t->setObjectName(name);
    t->setAccessibleName(accessible);
    t->setHorizontalHeaderLabels(headings);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->setVisible(false);
    t->horizontalHeader()->setStretchLastSection(true);
    t->setWordWrap(false);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    return t;
}

void setRow(QTableWidget* t, int row, const QStringList& cells)
{
    for (int c = 0; c < cells.size(); ++c)
        t->setItem(row, c, new QTableWidgetItem(cells[c]));
}

} // namespace

AlertPreviewWindow::AlertPreviewWindow(PreviewSources sources, StockIndex stock, QWidget* parent)
    : QDialog(parent)
    , m_sources(std::move(sources))
    , m_stock(stock)
{
    setObjectName(u"frmAlertPreview"_qs);
    buildControls();
    resize(720, 560);
}

AlertPreviewWindow::~AlertPreviewWindow() = default;

void AlertPreviewWindow::buildControls()
{
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(u"lblStatus"_qs);
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setWordWrap(true);
    cmdCancel = named<QPushButton>(u"Cancel"_qs, u"cmdCancel"_qs, this, u"Cancel the preview"_qs);
    cmdCancel->setVisible(false);
    auto* top = new QHBoxLayout;
    top->addWidget(lblStatus, 1);
    top->addWidget(cmdCancel);

    tblKinds = table(u"tblKinds"_qs, u"Days each alert would have fired"_qs,
        {u"Alert"_qs, u"Days"_qs, u"Last date"_qs}, this);
    tblKinds->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    tblKinds->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    tblKinds->horizontalHeader()->setStretchLastSection(false);
    tblKinds->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    lblTotal = new QLabel(this);
    lblTotal->setObjectName(u"lblTotal"_qs);
    lblTotal->setTextFormat(Qt::PlainText);
    QFont bold = lblTotal->font();
    bold.setBold(true);
    lblTotal->setFont(bold);
    tblDays = table(u"tblDays"_qs, u"Days with alerts"_qs, {u"Date"_qs, u"Alert line"_qs}, this);
    tblDays->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    QFont fixed(u"monospace"_qs);
    fixed.setStyleHint(QFont::TypeWriter);
    tblDays->setFont(fixed); // the symbol's padding lines the texts up, as in the mail
    tblDays->verticalHeader()->setDefaultSectionSize(QFontMetrics(fixed).height() + 6);

    cmdClose = named<QPushButton>(u"Close"_qs, u"cmdClose"_qs, this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tblKinds, 2);
    layout->addWidget(lblTotal);
    layout->addWidget(tblDays, 3);
    layout->addLayout(bottom);

    connect(cmdCancel, &QPushButton::clicked, this, &AlertPreviewWindow::onCancelClicked);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
}

void AlertPreviewWindow::setStatus(const QString& text)
{
    lblStatus->setText(text);
    lblStatus->setAccessibleName(text);
}

void AlertPreviewWindow::preview(const AlertSettings& settings)
{
    m_fetch.reset();
    m_run.reset();
    m_settings = settings;
    const QString symbol = settings.symbol.trimmed();
    setWindowTitle(u"Alert Preview - "_qs + readableLine(symbol, kMaxSymbolLength));
    setAccessibleName(windowTitle());
    tblKinds->setRowCount(0);
    tblDays->setRowCount(0);
    lblTotal->clear();

    if (symbol.isEmpty()) {
        setStatus(u"Enter the stock's symbol first: the preview needs its prices."_qs);
        emit previewDone();
        return;
    }
    // The engine's history of the stock, when it holds one for this symbol.
    if (m_sources.engine) {
        const StockState& state = m_sources.engine->stock(m_stock);
        const QString engineSymbol = m_sources.engine->alertSettings(m_stock).symbol.trimmed();
        if (engineSymbol.compare(symbol, Qt::CaseInsensitive) == 0 && historyRowCount(state.history) > 1) {
            start(state.history);
            return;
        }
    }
    if (m_fetchedSymbol.compare(symbol, Qt::CaseInsensitive) == 0 && !m_fetched.empty()) {
        start(m_fetched);
        return;
    }
    if (!m_sources.priceSource) {
        setStatus(u"The prices of "_qs + symbol + u" are not downloaded yet: press START first."_qs);
        emit previewDone();
        return;
    }
    setStatus(u"The prices of "_qs + readableLine(symbol, kMaxSymbolLength)
        + u" are not downloaded yet: fetching a year of them..."_qs);
    cmdCancel->setVisible(true);
    m_priceSource = m_sources.priceSource();
    m_fetch = fetchHistory(
        *m_priceSource, symbol, Clock::current().now(), [this, symbol](const FetchedHistory& fetched) {
            // The fetch goes once this report of it has returned.
            QTimer::singleShot(0, this, [ended = std::shared_ptr<Pending>(std::move(m_fetch))] {});
            cmdCancel->setVisible(false);
            if (!fetched.history) {
                setStatus(fetched.problem);
                emit previewDone();
                return;
            }
            m_fetchedSymbol = symbol;
            m_fetched = *fetched.history;
            start(m_fetched);
        });
}

void AlertPreviewWindow::start(const PriceHistory& history)
{
    m_run.emplace(history, m_stock, m_settings);
    setStatus(u"Previewing..."_qs);
    cmdCancel->setVisible(true);
    QTimer::singleShot(0, this, &AlertPreviewWindow::runSteps);
}

void AlertPreviewWindow::runSteps()
{
    if (!m_run)
        return; // cancelled
    if (!m_run->step(kDaysPerStep)) {
        QTimer::singleShot(0, this, &AlertPreviewWindow::runSteps);
        return;
    }
    m_result = m_run->take();
    m_run.reset();
    cmdCancel->setVisible(false);
    showResult();
    emit previewDone();
}

void AlertPreviewWindow::showResult()
{
    const AlertPreview& p = m_result;
    if (p.days.empty()) {
        setStatus(u"The history holds no day to preview."_qs);
        return;
    }
    setStatus(u"What these settings would have reported at each day's close, "_qs
        + previewDateText(p.days.front()) + u" to "_qs + previewDateText(p.days.back()) + u'.'
        + (p.errorDays > 0 ? u" On "_qs + QString::number(p.errorDays)
                    + u" days the history behind the day was too short or unreadable (the log's Calc Error note)."_qs
                           : QString()));
    int row = 0;
    for (std::size_t k = 0; k < kAlertKinds; ++k) {
        if (!m_settings.alertsOn[k] && p.firedDays[k] == 0)
            continue;
        tblKinds->setRowCount(row + 1);
        const int last = p.lastFired[k];
        setRow(tblKinds, row++,
            {alertKindName(static_cast<AlertKind>(k)), QString::number(p.firedDays[k]),
                last < 0 ? u"never"_qs : previewDateText(p.days[static_cast<std::size_t>(last)])});
    }
    const QString total = u"Would have reported on "_qs + QString::number(p.reportingDays) + u" of "_qs
        + QString::number(p.dayCount()) + u" days"_qs;
    lblTotal->setText(total);
    lblTotal->setAccessibleName(total);

    row = 0;
    for (auto day = p.days.rbegin(); day != p.days.rend(); ++day) {
        const QStringList lines = day->error.isEmpty() ? day->lines : QStringList {day->error};
        for (qsizetype i = 0; i < lines.size(); ++i) {
            tblDays->setRowCount(row + 1);
            setRow(tblDays, row++, {i == 0 ? previewDateText(*day) : QString(), withoutControls(lines[i])});
        }
    }
}

void AlertPreviewWindow::onCancelClicked()
{
    m_fetch.reset();
    m_run.reset();
    cmdCancel->setVisible(false);
    setStatus(u"Preview cancelled."_qs);
    emit previewDone();
}

} // namespace tradevane
