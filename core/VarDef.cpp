#include "core/VarDef.h"

PerStock<AlertSettings> gAlertSettings;
PerStock<Quote> gQuotes;
PerStock<HistoryArray> gHistory;
HistoryArray gWorkData;
PerStock<IndicatorValues> gIndicators;
PerStock<AlertStates> gAlertState;
PerStock<qint16> gDownloadError {};
PerStock<qint16> gStockFailed {};
TimeSettings gTimeSettings;
MailSettings gMailSettings;
SoundSettings gSoundSettings;

QString strLogString;
qint16 blnLogVisible = 0;
qint16 StockID = 0;

void ResetProgramState()
{
    gAlertSettings.fill({});
    gQuotes.fill({});
    for (auto& history : gHistory)
        history.fill({});
    gWorkData.fill({});
    gIndicators.fill({});
    gAlertState.fill({});
    gDownloadError.fill(0);
    gStockFailed.fill(0);
    gTimeSettings = {};
    gMailSettings = {};
    gSoundSettings = {};
    strLogString.clear();
    blnLogVisible = 0;
    StockID = 0;
}
