#include "engine/log/LogTexts.h"

#include <QStringList>

namespace tradevane {

QStringList LogText::all()
{
    return {
        kFileWriteError,
        kFileEraseError,
        kLogFileSuffix,
        kWeekendFriday,
        kWeekendSaturday,
        kWeekendSunday,
        kWaitingForStart,
        kProcessingStarted,
        kPricesFrom,
        kHistoricDataDownloaded,
        kQuoteSetDownloaded,
        kQuoteSetDownloadedEnd,
        kStoppedByUser,
        kAlertHeader,
        kHolidayClosed,
        kHolidayResumes,
        kEarlyClose,
        kEarlyCloseEnd,
        kHolidayFileUnreadable,
        kHolidayLineSkipped,
        kHolidayLinesNotListed,
        kCalendarSettingsDefault,
        kSourceSettingsDamaged,
        kAlertMemoryDamaged,
        kAlertMemoryNotWritten,
        kEmailSent,
        kEmailFailed,
        kEmailWithheld,
        kNtfySent,
        kNtfyFailed,
        kTelegramSent,
        kTelegramFailed,
        kWebhookSent,
        kWebhookFailed,
        kChannelSettingsUnreadable,
        kChannelTokenUnread,
        kSoundError,
        kCalcError,
        kMaCalc,
        kRocCalc,
        kStochasticKCalc,
        kStochasticSlowKCalc,
        kStochasticSlowDCalc,
        kHighestHighModule,
        kLowestLowModule,
        kVolumeMaCalc,
        kAlertFlagsCalc,
        kQuoteDownloadError,
        kDownloadError,
        kDataError,
        kBadSymbolOrServerDown,
        kFileTooSmall,
        kResponseTooLarge,
        kHttpErrorNoReason,
        kServerSettingsDefaults,
        kServerSettingsNotWritten,
    };
}

} // namespace tradevane
