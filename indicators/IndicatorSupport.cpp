#include "indicators/IndicatorSupport.h"

#include "core/Conversions.h"
#include "core/LogTexts.h"
#include "core/VarDef.h"
#include "notify/UpdateLog.h"

bool CurrentStockValid()
{
    return StockID >= 1 && StockID <= kStockCount;
}

std::optional<double> SlotNumber(int slot)
{
    if (slot < 0 || slot >= kHistorySlots)
        return std::nullopt;
    return TextToNumber(gWorkData[slot]);
}

void TakeCalcErrorPath(const QString& label)
{
    gDownloadError[StockID] = vbTrue;
    AppendNote(LogText::CalcError + QString::number(StockID) + label);
    AppendLog();
}
