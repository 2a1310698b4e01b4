#pragma once

#include "platform/HttpFetch.h"

#include <QString>

namespace tradevane {

// Every fixed text the program writes into the activity log, in one place: the troubleshooting
// page of the manual must explain each of them, and a test holds the two together.
// Texts that end in a number or a name are the fixed part in front of it.
namespace LogText {

// The log itself
inline const QString kFileWriteError = u"File Write Error # "_qs;
inline const QString kFileEraseError = u"File Erase Error # "_qs;
inline const QString kLogFileSuffix = u" Log File"_qs;

// Monitoring cycle
inline const QString kWeekendFriday = u"Markets closed for the weekend"_qs;
inline const QString kWeekendSaturday = u"Markets closed: Resumes Monday"_qs;
inline const QString kWeekendSunday = u"Markets closed: Awaiting Monday"_qs;
inline const QString kWaitingForStart = u"Waiting for Start time of "_qs;
inline const QString kProcessingStarted = u" Processing started. "_qs;
// Then, for a source inside the program, where its prices come from.
inline const QString kPricesFrom = u"Prices: "_qs;
inline const QString kHistoricDataDownloaded = u"Historic Data Downloaded"_qs;
inline const QString kQuoteSetDownloaded = u"Quote set #: "_qs; // followed by the number and " downloded"
inline const QString kQuoteSetDownloadedEnd = u" downloded"_qs;
inline const QString kStoppedByUser = u"Process stopped by user"_qs;
inline const QString kAlertHeader = u"MESSAGE FROM: TRADEVANE"_qs;

// The exchange calendar: "Markets closed: " <holiday> " - Resumes " <weekday>, and
// "Markets close early: " <day> " - Quote sets end at " <time>
inline const QString kHolidayClosed = u"Markets closed: "_qs;
inline const QString kHolidayResumes = u" - Resumes "_qs;
inline const QString kEarlyClose = u"Markets close early: "_qs;
inline const QString kEarlyCloseEnd = u" - Quote sets end at "_qs;
inline const QString kHolidayFileUnreadable
    = u"Holiday file holidays.txt could not be read - only the regular holidays are skipped: "_qs;
inline const QString kHolidayLineSkipped
    = u"Holiday file holidays.txt: line skipped, not a date (YYYY-MM-DD) and a name - line "_qs;
inline const QString kHolidayLinesNotListed
    = u"Holiday file holidays.txt: more lines skipped, not listed: "_qs;
inline const QString kCalendarSettingsDefault
    = u"Calendar settings file calendar.ini unreadable or malformed - exchange holidays are skipped: "_qs;
inline const QString kSourceSettingsDamaged
    = u"Data source file source.ini unreadable or damaged - the data source is asked for again: "_qs;

// Alerts reported today (reported.dat)
inline const QString kAlertMemoryDamaged
    = u"Reported alerts file reported.dat damaged - no alert counts as reported today: "_qs;
inline const QString kAlertMemoryNotWritten = u"Reported alerts file reported.dat could not be written: "_qs;

// Mail
inline const QString kMailPasswordExposed
    = u"Mail settings file mailset.dat holds the mail password and can be read by other users - it "
      u"becomes readable by its owner only when the mail settings are next saved"_qs;
// Followed by the reason
inline const QString kMailPasswordUnread
    = u"Mail password could not be read from the desktop keyring - alert mail cannot log in until the "
      u"mail settings are saved again: "_qs;
// After kEmailFailed, when the password stayed in the keyring
inline const QString kMailPasswordMissing
    = u"the mail password could not be read from the desktop keyring - save the mail settings again"_qs;
// Before the mail of a set whose program ended before the mail did (unsent.dat)
inline const QString kUnsentMailResent = u"Alert mail not sent before Tradevane ended - sending it now"_qs;
// Followed by the reason
inline const QString kUnsentMailNotWritten
    = u"Unsent alert mail file unsent.dat could not be written - an abrupt end now would lose this mail: "_qs;
inline const QString kUnsentMailDamaged = u"Unsent alert mail file unsent.dat damaged - removed: "_qs;
inline const QString kEmailSent = u" Email message sent."_qs;
inline const QString kEmailFailed = u" Email message failed: "_qs;
inline const QString kEmailWithheld = u" Email alert(s) prepared but witheld - Disabled by user"_qs;

// Phone channels: the time the send began, then one of these (the failures followed by the reason)
inline const QString kNtfySent = u" ntfy message sent."_qs;
inline const QString kNtfyFailed = u" ntfy message failed: "_qs;
inline const QString kTelegramSent = u" Telegram message sent."_qs;
inline const QString kTelegramFailed = u" Telegram message failed: "_qs;
inline const QString kWebhookSent = u" Webhook message sent."_qs;
inline const QString kWebhookFailed = u" Webhook message failed: "_qs;
inline const QString kChannelSettingsUnreadable
    = u"Channel settings file channels.ini unreadable or malformed - every channel is off: "_qs;
// After the channel's name, followed by the reason
inline const QString kChannelTokenUnread
    = u" token could not be read from the desktop keyring - the channel sends nothing until its "
      u"settings are saved again: "_qs;

// Sounds
inline const QString kSoundError = u"Sound Error - Location WAV module"_qs;

// Indicators: "Calc Error-Stock #:" <n> <label>, the label naming the procedure that failed
inline const QString kCalcError = u"Calc Error-Stock #:"_qs;
inline const QString kMaCalc = u" MA Calc"_qs;
inline const QString kRocCalc = u" ROC Calc"_qs;
inline const QString kStochasticKCalc = u" Stochastic K Calc"_qs;
inline const QString kStochasticSlowKCalc = u" Stochastic %K Calc"_qs;
inline const QString kStochasticSlowDCalc = u" Stochastic %D Calc"_qs;
inline const QString kHighestHighModule = u" Highest High Module"_qs;
inline const QString kLowestLowModule = u" Lowest Low Module"_qs;
inline const QString kVolumeMaCalc = u" Volume MA Calc"_qs;
inline const QString kAlertFlagsCalc = u" Alert Flags"_qs;

// Market data (the texts of the download and parse error paths)
inline const QString kQuoteDownloadError = u"Quote Download Error-Stock #:"_qs;
inline const QString kDownloadError = u"Download Error-Stock #:"_qs;
inline const QString kDataError = u"Data Error-Stock #:"_qs;
inline const QString kBadSymbolOrServerDown = u" Bad symbol or Server down"_qs;
inline const QString kFileTooSmall = u" Downloaded file too small or corrupt. Check Stock Symbol"_qs;

// Transfer failures the transfer control describes itself (logged after the response code)
inline const QString kResponseTooLarge = HttpFetcher::kResponseTooLargeText;
inline const QString kHttpErrorNoReason = HttpFetcher::kHttpErrorNoReasonText;

// Server addresses (servers.ini)
inline const QString kServerSettingsDefaults
    = u"Server settings file servers.ini unreadable or malformed - default servers used: "_qs;
inline const QString kServerSettingsNotWritten
    = u"Server settings file servers.ini could not be written: "_qs;

// All of the above, for the manual's test.
QStringList all();

} // namespace LogText

} // namespace tradevane
