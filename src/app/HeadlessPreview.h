#pragma once

#include "app/ProgramOptions.h"
#include "engine/alerts/AlertPreview.h"
#include "engine/settings/SettingsStore.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <optional>

namespace tradevane {

class AppServices;

// tradevane-headless --preview STOCK [--from DATE] [--json]: what the stock's stored alert settings
// would have reported over its year of prices, fetched from the configured history server.

// The stock a --preview argument names: its number 1..10, or the symbol of one of the ten (in any
// case); none when it names none.
std::optional<StockIndex> stockNamed(const SettingsStore& settings, const QString& text);

// The preview as the terminal shows it: a line per day with lines or an error note (the date, then
// the lines one under the other), a table of the alert kinds that are on or fired with their days
// and last date, and "Would have reported on N of M days." Everything from outside is printable.
QString previewText(const AlertPreview& preview, const AlertSettings& settings, StockIndex stock);

// The same as JSON: {"stock", "symbol", "days", "reportingDays", "alerts": [{"date", "lines"} or
// {"date", "error"}], "kinds": [{"kind", "name", "days", "last"}]}.
QByteArray previewJson(const AlertPreview& preview, const AlertSettings& settings, StockIndex stock);

// Runs the preview the options ask for with the loaded settings: fetches the history, prints to
// `out` (problems to `err`) and gives the exit code. Runs the event loop while it fetches.
ExitCode runHeadlessPreview(
    AppServices& services, const ProgramOptions& options, std::FILE* out, std::FILE* err);

} // namespace tradevane
