#include "indicators/IndicatorSupport.h"

#include "core/Conversions.h"
#include "core/LogTexts.h"
#include "notify/UpdateLog.h"

std::optional<double> SlotNumber(const HistoryArray& history, int slot)
{
    if (slot < 0 || slot >= kHistorySlots)
        return std::nullopt;
    return TextToNumber(history[static_cast<std::size_t>(slot)]);
}

void TakeCalcErrorPath(StockContext& stock, const QString& label)
{
    stock.state.downloadError = true;
    stock.log.AppendNote(LogText::CalcError + QString::number(stock.stock.number()) + label);
    stock.log.AppendLog(stock.stock.number());
}
