#include "engine/indicators/IndicatorSupport.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"

namespace tradevane {

void takeCalcErrorPath(StockContext& stock, const QString& label)
{
    stock.state.downloadError = true;
    stock.log.appendNote(LogText::kCalcError + QString::number(stock.stock.number()) + label);
    stock.log.appendLog(stock.stock.number());
}

} // namespace tradevane
