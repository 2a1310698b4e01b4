#include "engine/indicators/HighLowBreakout.h"

#include "engine/indicators/IndicatorSupport.h"
#include "engine/log/LogTexts.h"

namespace {

// Whether today's value of `field` beats the value of each of rows 1..days (above for highs,
// below for lows); no value when a text is not a number or a row lies beyond the history.
std::optional<bool> beatsLastDays(const HistoryArray& history, int field, int days, bool above)
{
    bool result = false;
    for (int r = 1; r <= days; ++r) {
        const std::optional<double> today = SlotNumber(history, RowSlot(0, field));
        const std::optional<double> before = SlotNumber(history, RowSlot(r, field));
        if (!today || !before)
            return std::nullopt;
        result = above ? *today > *before : *today < *before;
        if (!result)
            break;
    }
    return result;
}

void storeBreakout(
    StockContext& stock, bool IndicatorValues::*flag, int field, int days, bool above, const QString& label)
{
    const std::optional<bool> result = beatsLastDays(stock.state.history, field, days, above);
    if (!result) {
        TakeCalcErrorPath(stock, label);
        return;
    }
    stock.state.indicators.*flag = *result;
}

} // namespace

void CheckHighestHigh(StockContext& stock)
{
    storeBreakout(stock, &IndicatorValues::NewHigh, kHighField, stock.settings.highestHighDays, true,
        LogText::HighestHighModule);
}

void CheckLowestLow(StockContext& stock)
{
    storeBreakout(stock, &IndicatorValues::NewLow, kLowField, stock.settings.lowestLowDays, false,
        LogText::LowestLowModule);
}
