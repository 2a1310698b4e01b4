#include "core/AlertEvaluation.h"

#include "core/LogTexts.h"
#include "indicators/SetAlerts.h"
#include "notify/MailHandler.h"
#include "notify/PlayWAV.h"
#include "notify/UpdateLog.h"
#include "platform/Clock.h"

namespace {

QString twoDigits(int value)
{
    return value < 10 ? u'0' + QString::number(value) : QString::number(value);
}

// "###0.00": at least one digit before the point, two after it, no grouping.
QString price(double value)
{
    return QString::number(value, 'f', 2);
}

bool takesPart(int stock, const PerStock<qint16>& QuoteValid)
{
    return QuoteValid[stock] != 0 && gAlertSettings[stock].Enabled == vbTrue && gStockFailed[stock] == 0
        && gDownloadError[stock] == 0;
}

} // namespace

QString MessageHeader()
{
    const QTime now = Now().time();
    return LogText::AlertHeader + u"\r\nTIME: "_qs + QString::number(now.hour()) + u':'
        + twoDigits(now.minute()) + u"\r\nSUBJECT: STOCK ALERTS\r\n"_qs + QString(26, u'=') + u"\r\n\r\n"_qs;
}

QString AlertLine(int stock, int kind)
{
    const AlertSettings& s = gAlertSettings[stock];
    QString text;
    switch (kind) {
    case 1:
        text = u": Short Term Moving Average Cross: Direction = UP"_qs;
        break;
    case 2:
        text = u": Short Term Moving Average Cross: Direction = DOWN"_qs;
        break;
    case 3:
        text = u": Medium Term Moving Average Cross: Direction = UP"_qs;
        break;
    case 4:
        text = u": Medium Term Moving Average Cross: Direction = DOWN"_qs;
        break;
    case 5:
        text = u": Long Term Moving Average Cross: Direction = UP"_qs;
        break;
    case 6:
        text = u": Long Term Moving Average Cross: Direction = DOWN"_qs;
        break;
    case 7:
        text = u": Highest High value in "_qs + QString::number(s.HHDays) + u" days."_qs;
        break;
    case 8:
        text = u": Lowest Low value in "_qs + QString::number(s.LLDays) + u" days."_qs;
        break;
    case 9:
        text = u": 21 Day Rate of Change > "_qs + QString::number(s.ROCPlus) + u'%';
        break;
    case 10:
        text = u": 21 Day Rate of Change < "_qs + QString::number(s.ROCMinus) + u'%';
        break;
    case 11:
        text = u": Stochastic %K value is > 80 and reversing"_qs;
        break;
    case 12:
        text = u": Stochastic %K value is < 20 and reversing."_qs;
        break;
    case 13:
        text = u": Price climbed above $"_qs + price(s.MaxPrice);
        break;
    case 14:
        text = u": Price dropped below $"_qs + price(s.MinPrice);
        break;
    case 15:
        text = u": Volume is 20% > average of the last 20 days."_qs;
        break;
    default:
        return {};
    }
    return s.Symbol + text + u"\r\n"_qs;
}

QString EvaluateAlerts(CycleWindow& window, const PerStock<qint16>& QuoteValid)
{
    const QString header = MessageHeader();
    QString body;
    bool anyAlert = false;

    for (StockID = 1; StockID <= kStockCount; ++StockID) {
        const int i = StockID;
        if (!takesPart(i, QuoteValid))
            continue;
        window.SetSymbolAlertColour(i, false);
        SetAlertFlags();
        for (int k = 1; k <= kAlertKinds; ++k) {
            AlertEntry& entry = gAlertState[i][k];
            if (entry.Triggered != vbTrue)
                continue;
            window.SetSymbolAlertColour(i, true);
            if (entry.Armed == 1)
                body += AlertLine(i, k);
            if (gAlertSettings[i].RepeatAlerts == 0)
                entry.Armed = 0;
            anyAlert = true;
        }
    }

    QString message;
    if (!body.isEmpty() && anyAlert) {
        message = header + body;
        strLogString += u"\r\n"_qs + message;
        AppendLog();
        PlayAlertSound();
        window.ShowAlertNotice();
        window.SetStatus(u"Sending Email"_qs);
        window.SetLight(Light::Email, u"s-yel-on.bmp"_qs);
        SendAlertMail(message);
    }
    window.SetLight(Light::Email, u"s-yel-off.bmp"_qs);
    return message;
}
