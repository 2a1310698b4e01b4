#pragma once

// Turns the indicator results, the last trade prices and the alert switches into the fifteen
// Triggered flags of every stock, when the current stock (StockID) is enabled. A switch counts
// as on only when it holds 1. Kinds 1..12 and 15 follow their condition while their switch is
// on and keep their last value while it is off; kinds 13 and 14 (price above / below) are
// true only while their switch is on and the condition holds.
void SetAlertFlags();
