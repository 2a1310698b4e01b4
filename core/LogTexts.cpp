#include "core/LogTexts.h"

#include <QStringList>

QStringList LogText::All()
{
    return {
        FileWriteError,
        FileEraseError,
        LogFileSuffix,
        WeekendFriday,
        WeekendSaturday,
        WeekendSunday,
        WaitingForStart,
        ProcessingStarted,
        HistoricDataDownloaded,
        QuoteSetDownloaded,
        QuoteSetDownloadedEnd,
        StoppedByUser,
        AlertHeader,
        EmailSent,
        EmailFailed,
        EmailWithheld,
        SoundError,
        CalcError,
        MACalc,
        ROCCalc,
        StochasticKCalc,
        StochasticSlowKCalc,
        StochasticSlowDCalc,
        HighestHighModule,
        LowestLowModule,
        VolumeMACalc,
        AlertFlagsCalc,
        QuoteDownloadError,
        DownloadError,
        DataError,
        BadSymbolOrServerDown,
        FileTooSmall,
        ResponseTooLarge,
        HttpErrorNoReason,
        ServerSettingsDefaults,
        ServerSettingsNotWritten,
    };
}
