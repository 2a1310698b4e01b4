#include "engine/indicators/IndicatorSupport.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"

namespace tradevane {

void TakeCalcErrorPath(StockContext& stock, const QString& label)
{
    stock.state.downloadError = true;
    stock.log.AppendNote(LogText::CalcError + QString::number(stock.stock.number()) + label);
    stock.log.AppendLog(stock.stock.number());
}

} // namespace tradevane
