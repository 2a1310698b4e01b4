#pragma once

#include <QString>

#include <optional>

// What the indicator modules share: where a row's fields sit in gWorkData, reading a slot as a
// number, and the error path that marks the current stock and logs the failing procedure.

// Slot of a field of row r in gWorkData: 6r + field.
constexpr int kHighField = 2;
constexpr int kLowField = 3;
constexpr int kCloseField = 4;
constexpr int kVolumeField = 5;
constexpr int RowSlot(int row, int field)
{
    return 6 * row + field;
}

// StockID names a stock (1..10). Outside a loop over the stocks it holds 11, and then there is
// no indicator entry to work on: the procedures return without change.
bool CurrentStockValid();

// The whole text of gWorkData(slot) as a number (empty counts 0). No value when the slot lies
// beyond the history (a failure like a text that is not a number).
std::optional<double> SlotNumber(int slot);

// The indicator error path: gDownloadError(StockID) becomes true, and the activity log gets
// "Calc Error-Stock #:", the stock number, `label`, and the line of 36 "=".
void TakeCalcErrorPath(const QString& label);
