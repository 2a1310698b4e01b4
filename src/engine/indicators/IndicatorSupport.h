#pragma once

#include "engine/model/StockState.h"

#include <QString>

#include <optional>

// What the indicator modules share: where a row's fields sit in a stock's history, reading a
// slot as a number, and the error path that marks the stock and logs the failing procedure.

// Slot of a field of row r in the history: 6r + field.
constexpr int kHighField = 2;
constexpr int kLowField = 3;
constexpr int kCloseField = 4;
constexpr int kVolumeField = 5;
constexpr int RowSlot(int row, int field)
{
    return 6 * row + field;
}

// The whole text of history(slot) as a number (empty counts 0). No value when the slot lies
// beyond the history (a failure like a text that is not a number).
std::optional<double> SlotNumber(const HistoryArray& history, int slot);

// The indicator error path: the stock's downloadError becomes true, and the activity log gets
// "Calc Error-Stock #:", the stock number, `label`, and the line of 36 "=".
void TakeCalcErrorPath(StockContext& stock, const QString& label);
