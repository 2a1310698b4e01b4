#include "engine/indicators/IndicatorSupport.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "platform/Conversions.h"

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
