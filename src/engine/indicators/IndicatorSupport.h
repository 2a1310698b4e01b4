#pragma once

#include "engine/model/StockState.h"

#include <QString>

namespace tradevane {

// "Calc Error-Stock #:", the stock `number` and `label`: the note of the indicator error path.
QString calcErrorText(int number, const QString& label);

// The indicator error path: the stock's downloadError becomes true, and the activity log gets
// "Calc Error-Stock #:", the stock number, `label` (the routine that failed), and the line of 36 "=".
void takeCalcErrorPath(StockContext& stock, const QString& label);

} // namespace tradevane
