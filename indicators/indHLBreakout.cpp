#include "indicators/indHLBreakout.h"

#include "core/LogTexts.h"
#include "core/VarDef.h"
#include "indicators/IndicatorSupport.h"

namespace {

// Whether today's value of `field` beats the value of each of rows 1..days (above for highs,
// below for lows); no value when a text is not a number or a row lies beyond the history.
std::optional<bool> beatsLastDays(int field, int days, bool above)
{
    bool result = false;
    for (int r = 1; r <= days; ++r) {
        const std::optional<double> today = SlotNumber(RowSlot(0, field));
        const std::optional<double> before = SlotNumber(RowSlot(r, field));
        if (!today || !before)
            return std::nullopt;
        result = above ? *today > *before : *today < *before;
        if (!result)
            break;
    }
    return result;
}

void storeBreakout(qint16 IndicatorValues::*flag, int field, int days, bool above, const QString& label)
{
    const std::optional<bool> result = beatsLastDays(field, days, above);
    if (!result) {
        TakeCalcErrorPath(label);
        return;
    }
    gIndicators[StockID].*flag = *result ? vbTrue : vbFalse;
}

} // namespace

void CheckHighestHigh()
{
    if (CurrentStockValid())
        storeBreakout(&IndicatorValues::NewHigh, kHighField, gAlertSettings[StockID].HHDays, true,
            LogText::HighestHighModule);
}

void CheckLowestLow()
{
    if (CurrentStockValid())
        storeBreakout(&IndicatorValues::NewLow, kLowField, gAlertSettings[StockID].LLDays, false,
            LogText::LowestLowModule);
}
