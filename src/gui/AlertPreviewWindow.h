#pragma once

#include "engine/alerts/AlertPreview.h"
#include "engine/model/StockState.h"
#include "platform/Pending.h"

#include <QDialog>

#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;

#include <functional>

namespace tradevane {

class MonitoringSession;
class PriceSource;

// Where a preview finds a stock's year of prices: the history the monitoring engine holds, or
// else the program's chosen source of prices, made when it is needed.
struct PreviewSources
{
    const MonitoringSession* engine = nullptr;
    std::function<std::unique_ptr<PriceSource>()> priceSource;
};

// "Alert Preview - ABC": what a stock's alert settings (as they stand in the alert settings window,
// saved or not) would have reported on each day of its past year. Per alert kind the days it would
// have fired and the last one, the total of days with a report, and every day with its lines. When
// the prices are not downloaded yet it fetches them first, with Cancel; the preview then runs a
// few days at a time from the event loop, so the windows keep answering.
class AlertPreviewWindow final : public QDialog
{
    Q_OBJECT

public:
    AlertPreviewWindow(PreviewSources sources, StockIndex stock, QWidget* parent = nullptr);
    ~AlertPreviewWindow() override;

    // Previews `settings` (any earlier preview or fetch is given up).
    void preview(const AlertSettings& settings);
    // A preview or its fetch is under way.
    bool busy() const { return m_fetch != nullptr || m_run.has_value(); }
    const AlertPreview& result() const { return m_result; }

    QLabel* lblStatus = nullptr;
    QPushButton* cmdCancel = nullptr;
    QTableWidget* tblKinds = nullptr;
    QLabel* lblTotal = nullptr;
    QTableWidget* tblDays = nullptr;
    QPushButton* cmdClose = nullptr;

signals:
    // The preview is on show (or could not be made: the status says why).
    void previewDone();

private:
    void buildControls();
    void start(const PriceHistory& history);
    void runSteps();
    void showResult();
    void onCancelClicked();
    void setStatus(const QString& text);

    PreviewSources m_sources;
    std::unique_ptr<PriceSource> m_priceSource; // while a fetch needs it
    StockIndex m_stock;
    AlertSettings m_settings;
    std::unique_ptr<Pending> m_fetch;
    std::optional<AlertPreviewRun> m_run;
    AlertPreview m_result;
    // The history fetched last, kept for the next preview of the same symbol.
    QString m_fetchedSymbol;
    PriceHistory m_fetched;
};

} // namespace tradevane
