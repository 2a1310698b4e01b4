#pragma once

#include "engine/model/Settings.h"
#include "engine/model/StockState.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <array>
#include <vector>

namespace tradevane {

class ActivityLog;

// reported.dat in the settings folder: the once-a-day alerts reported on the current trading day,
// so that STOP and START, a crash or a restart of the computer does not report them a second time
// that day. Plain text, one alert a line, tab-separated (the symbol percent-encoded), and a last
// line with the count, so that a file cut short is told from a complete one:
//
//   Tradevane reported alerts 1
//   2026-11-25	1	PriceAbove	ABC	12
//   end	1
struct ReportedAlert
{
    QDate day; // the trading day, a date of exchange time
    StockIndex stock {0};
    AlertKind kind = AlertKind::ShortCrossUp;
    QString symbol; // without its padding
    QString settings; // AlertSettingsKey when the alert was reported

    bool operator==(const ReportedAlert&) const = default;
};

using ReportedAlerts = std::vector<ReportedAlert>;

QString alertMemoryPath();

// The name a file or a script knows alert `kind` by ("ShortCrossUp", "VolumeSurge").
QString alertKindKey(AlertKind kind);

// The values of a stock's settings that decide whether alert `kind` holds (its periods, days,
// percentage or price); a reported alert is remembered only while they stay as they were.
QString alertSettingsKey(const AlertSettings& settings, AlertKind kind);

QByteArray encodeReportedAlerts(const ReportedAlerts& alerts);

struct ReportedAlertsRead
{
    ReportedAlerts alerts;
    QString damage; // why the file cannot be used; empty when it can
};
// Reads the whole file: a file damaged anywhere gives no alert at all.
ReportedAlertsRead decodeReportedAlerts(const QByteArray& bytes);

// Reads reported.dat. A missing file gives none; a damaged or unreadable one gives none too, with
// a note in the activity log (`number` is the stock the log's own error notes name).
ReportedAlerts readReportedAlerts(ActivityLog& log, int number);

// Replaces reported.dat as a whole; a failure is noted in the activity log, the run goes on.
void writeReportedAlerts(const ReportedAlerts& alerts, ActivityLog& log, int number);

// The once-a-day alerts no longer armed on trading day `day`: those reported today.
ReportedAlerts reportedOn(const QDate& day, const std::array<AlertSettings, kStockCount>& settings,
    const std::array<StockState, kStockCount>& stocks);

// Disarms every alert of `remembered` that was reported on `day`, where the stock is still one of
// once-a-day alerts with the same symbol and the same settings for that alert.
void disarmReported(const ReportedAlerts& remembered, const QDate& day,
    const std::array<AlertSettings, kStockCount>& settings, std::array<StockState, kStockCount>& stocks);

} // namespace tradevane
