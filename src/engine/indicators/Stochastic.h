#pragma once

#include "engine/model/PriceHistory.h"

#include <optional>

namespace tradevane {

// The slow stochastic of today, in three steps: the raw %K of rows 0..29, each over the 15 rows
// starting with it; the slow %K of rows 0..9, each the average of three raw %K values (rows m to
// m + 2); the slow %D of rows 0..2, each the average of three slow %K values. Rows 0..43 are read.
struct SlowStochastic
{
    // The step that could not be computed: a price not a number or beyond the history, a window
    // without range (its highest high equal to its lowest low), or an overflow.
    enum class Failure { None, RawK, SlowK, SlowD };

    Failure failure = Failure::None;
    double k = 0.0; // today's slow %K, when neither the raw nor the slow %K failed
    double d = 0.0; // today's slow %D, when nothing failed
};
SlowStochastic computeSlowStochastic(const PriceRows& rows);

} // namespace tradevane
