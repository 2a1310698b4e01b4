#include "engine/log/LogTexts.h"

#include <QStringList>

namespace tradevane {

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
        HolidayClosed,
        HolidayResumes,
        EarlyClose,
        EarlyCloseEnd,
        HolidayFileUnreadable,
        HolidayLineSkipped,
        HolidayLinesNotListed,
        CalendarSettingsDefault,
        AlertMemoryDamaged,
        AlertMemoryNotWritten,
        EmailSent,
        EmailFailed,
        EmailWithheld,
        NtfySent,
        NtfyFailed,
        TelegramSent,
        TelegramFailed,
        WebhookSent,
        WebhookFailed,
        ChannelSettingsUnreadable,
        ChannelTokenUnread,
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

} // namespace tradevane
