#pragma once

#include "engine/model/StockState.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace tradevane {

// The alert preview: what a stock's alert settings would have reported over its history, day by
// day, as if each day's bar had been that day's last quote and the rows before it the history.
// Every day runs the monitoring's own steps on one quote set: a new trading day arms every alert,
// then computeIndicators, updateAlertFlags and takeDueAlerts. A day whose indicators fail gives
// the note the activity log would get, and no line. The settings are used as given (saved or
// still being edited); nothing is stored.

struct PreviewDay
{
    int row = 0; // its row in the history: 0 is today's quote, 1 the day before, ...
    QString dateText; // as the history holds it
    QDate date; // invalid when the text is no date
    QStringList lines; // the alert lines as reported, without line ends
    QList<AlertKind> kinds; // the kind of each line
    QString error; // "Calc Error-Stock #:" ... when the day's indicators failed
};

struct AlertPreview
{
    std::vector<PreviewDay> days; // oldest first
    std::array<int, kAlertKinds> firedDays {}; // by kind: the days it gave a line
    std::array<int, kAlertKinds> lastFired {}; // by kind: the index in `days` of its last line, -1 for none
    int reportingDays = 0; // days with at least one line
    int errorDays = 0; // days whose indicators failed

    AlertPreview() { lastFired.fill(-1); }
    int dayCount() const { return static_cast<int>(days.size()); }
};

// A preview computed a few days at a time, so that a window can go on answering in between. It
// holds copies of what it works on and no Qt object: it may also run on a worker thread.
class AlertPreviewRun
{
public:
    // Previews the days of `history` (the engine's: row 0 today's quote or the table's heading
    // line) from `from` on (every day when invalid) for stock `stock` with `settings`.
    AlertPreviewRun(PriceHistory history, StockIndex stock, AlertSettings settings, const QDate& from = {});

    // Previews up to `days` more days; true once every day is done.
    bool step(int days);
    bool done() const { return m_nextRow < m_lastRow; }
    // The days previewed so far, and the whole preview once done.
    const AlertPreview& result() const { return m_result; }
    AlertPreview take() { return std::move(m_result); }

private:
    void previewRow(int row);

    PriceHistory m_history;
    StockIndex m_stock;
    AlertSettings m_settings;
    int m_nextRow = 0; // previewed from the oldest row to the newest
    int m_lastRow = 0;
    IndicatorValues m_values;
    AlertStates m_alerts;
    AlertPreview m_result;
};

// The whole preview at once.
AlertPreview previewAlerts(
    const PriceHistory& history, StockIndex stock, const AlertSettings& settings, const QDate& from = {});

// The day's date as a person reads it: yyyy-mm-dd, or the history's own text made printable when
// it is no date.
QString previewDateText(const PreviewDay& day);

// What a person calls an alert kind ("Short-term crossover up", "Volume surge").
QString alertKindName(AlertKind kind);

} // namespace tradevane
