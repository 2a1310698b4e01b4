#pragma once

#include "core/VarDef.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// About one year of daily prices of one stock from the history server, turned into the stock's
// history array: six slots per trading day (date, open, high, low, close, volume), row 0 first.
// The cycle calls SetHistoryDates once per trading day, then for each watched stock the pair
// DownloadHistory, ParseHistory.
namespace DataRetrieval {
extern QDateTime Today;
extern QDateTime FromDate; // Today minus 365 days
extern QString ToMonth, ToDay, ToYear, FromMonth, FromDay, FromYear;
extern QString HistoryUrl; // the last request address
extern QString HistoryText; // the last response body
extern QStringList HistoryFields; // its comma-separated fields, after ParseHistory's split
extern int LastFieldIndex; // upper index of HistoryFields
extern HistoryArray HistoryWork; // the rows of the last walk
extern int HistorySlotsWritten; // how many slots of HistoryWork the last walk wrote

// A response is read as lines of seven fields; fewer fields than this cannot be a year.
constexpr int kMinimumFields = 1401;
} // namespace DataRetrieval

// Sets Today from the clock and the date texts of the request range (months 1..12).
void SetHistoryDates();

// Lower-cases `symbol` in the caller's variable and fetches its daily history into HistoryText.
// A failed fetch marks the stock failed and logs "Download Error-Stock #:".
void DownloadHistory(QString& symbol);

// Walks HistoryText into the history array of stock StockID: each seven-field line gives one row
// of its fields 0, 1, 2, 3, 6, 5. An empty or short response, or more lines than the array holds,
// marks the stock failed and logs "Data Error-Stock #:", leaving the array as it was.
void ParseHistory();
