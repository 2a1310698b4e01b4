#include "engine/indicators/IndicatorSupport.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"

namespace tradevane {

QString calcErrorText(int number, const QString& label)
{
    return LogText::kCalcError + QString::number(number) + label;
}

void takeCalcErrorPath(StockContext& stock, const QString& label)
{
    stock.state.downloadError = true;
    stock.log.appendNote(calcErrorText(stock.stock.number(), label));
    stock.log.appendLog(stock.stock.number());
}

} // namespace tradevane
