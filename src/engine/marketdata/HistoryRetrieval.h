#pragma once

#include "engine/model/StockState.h"
#include "platform/Pending.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace tradevane {

class PriceSource;

// About one year of daily prices of one stock from the history server, turned into the stock's
// daily bars, row 0 (the table's heading line) first.
// Once per trading day the engine takes the request dates (SetHistoryDates), then for each
// watched stock DownloadHistory and, when it ends, ParseHistory.

// The range of a day's history requests: today and 365 days before, as the request's texts.
struct HistoryDates
{
    QDateTime today;
    QDateTime fromDate; // Today minus 365 days
    QString toMonth, toDay, toYear, fromMonth, fromDay, fromYear; // months 1..12
};
HistoryDates setHistoryDates(const QDateTime& now);

// The request for `symbol` (lower-cased) on the history server at `server`.
QString historyRequest(const QString& server, const QString& symbol, const HistoryDates& dates);

// A response is read as lines of seven fields; fewer fields than this cannot be a year.
constexpr int kMinimumHistoryFields = 1401;

// The response read as bars: each seven-field line gives one row of its fields 0, 1, 2, 3, 6, 5
// (date, open, high, low, close, volume). Nothing when the text is empty, has fewer than
// kMinimumHistoryFields fields, ends inside a line before its close, or holds more rows than a
// history does.
std::optional<PriceHistory> readHistoryTable(const QString& text);

// Fetches the daily history of `symbol` over `dates` from `source`; `done` gets the body, or an empty text
// after a failed fetch, which marks the stock failed and logs why (TransferFailed) and "Download Error-Stock
// #:". A cancelled fetch reports nothing.
[[nodiscard]] std::unique_ptr<Pending> downloadHistory(const StockContext& stock, PriceSource& source,
    const QString& symbol, const HistoryDates& dates, std::function<void(const QString&)> done);

// A history fetched for a look back, outside the monitoring: the stock's year up to `now` from
// `source`, read as the engine reads it. Nothing is logged; `done` gets the bars,
// or none and why (the server's words made printable). Cancelling what it returns ends the fetch
// without a word; so does a fetcher that is busy, after telling `done` so.
struct FetchedHistory
{
    std::optional<PriceHistory> history;
    QString problem; // empty when the history came
};
[[nodiscard]] std::unique_ptr<Pending> fetchHistory(PriceSource& source, const QString& symbol,
    const QDateTime& now, std::function<void(const FetchedHistory&)> done);

// Reads `HistoryText` into the stock's history. An empty or unusable response marks the
// stock failed and logs "Data Error-Stock #:", leaving the history as it was.
void parseHistory(StockContext& stock, const QString& historyText);

} // namespace tradevane
