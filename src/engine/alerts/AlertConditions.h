#pragma once

#include "engine/model/StockState.h"

#include <optional>

namespace tradevane {

// The flags of one stock from its indicator results `values` and its last trade price `last`
// (none: a price too long to be a number, which holds no price condition), by the rules of
// setAlertFlags. False when the price could not be read.
bool updateAlertFlags(const AlertSettings& settings, const IndicatorValues& values,
    std::optional<double> last, AlertStates& alerts);

// Turns the stock's indicator results, its last trade price and its alert switches into the
// fifteen Triggered flags, when the stock is watched. A switch counts as on only when it holds 1.
// Kinds up to the stochastic reversals and the volume surge follow their condition while their
// switch is on and keep their last value while it is off; the price kinds are true only while
// their switch is on and the condition holds.
void setAlertFlags(StockContext& stock);

} // namespace tradevane
