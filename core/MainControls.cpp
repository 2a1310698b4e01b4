#include "core/MainControls.h"

#include "core/VarDef.h"
#include "notify/UpdateLog.h"
#include "platform/InetControl.h"
#include "platform/SmtpControl.h"
#include "platform/TransferHub.h"

TransferHub& ProgramHub()
{
    static TransferHub hub;
    return hub;
}

InetControl& InetQuotes()
{
    static InetControl control(ProgramHub());
    static const bool connected = [] {
        QObject::connect(&control, &InetControl::StateChanged, &InetQuotes_StateChanged);
        return true;
    }();
    Q_UNUSED(connected);
    return control;
}

void InetQuotes_StateChanged(int State)
{
    if (State != InetControl::icError)
        return;
    if (StockID >= 0 && StockID <= kStockCount)
        gStockFailed[StockID] = vbTrue;
    const InetControl& control = InetQuotes();
    strLogString += QString::number(control.ResponseCode) + u' ' + control.ResponseInfo + u"\r\n"_qs;
    AppendLog();
}

SmtpControl& SMTP1()
{
    static SmtpControl control(ProgramHub());
    return control;
}
