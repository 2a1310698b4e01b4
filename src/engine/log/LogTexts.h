#pragma once

#include "platform/HttpFetch.h"

#include <QString>

namespace tradevane {

// Every fixed text the program writes into the activity log, in one place: the troubleshooting
// page of the manual must explain each of them, and a test holds the two together.
// Texts that end in a number or a name are the fixed part in front of it.
namespace LogText {

// The log itself
inline const QString FileWriteError = u"File Write Error # "_qs;
inline const QString FileEraseError = u"File Erase Error # "_qs;
inline const QString LogFileSuffix = u" Log File"_qs;

// Monitoring cycle
inline const QString WeekendFriday = u"Markets closed for the weekend"_qs;
inline const QString WeekendSaturday = u"Markets closed: Resumes Monday"_qs;
inline const QString WeekendSunday = u"Markets closed: Awaiting Monday"_qs;
inline const QString WaitingForStart = u"Waiting for Start time of "_qs;
inline const QString ProcessingStarted = u" Processing started. "_qs;
inline const QString HistoricDataDownloaded = u"Historic Data Downloaded"_qs;
inline const QString QuoteSetDownloaded = u"Quote set #: "_qs; // followed by the number and " downloded"
inline const QString QuoteSetDownloadedEnd = u" downloded"_qs;
inline const QString StoppedByUser = u"Process stopped by user"_qs;
inline const QString AlertHeader = u"MESSAGE FROM: TRADEVANE"_qs;

// The exchange calendar: "Markets closed: " <holiday> " - Resumes " <weekday>, and
// "Markets close early: " <day> " - Quote sets end at " <time>
inline const QString HolidayClosed = u"Markets closed: "_qs;
inline const QString HolidayResumes = u" - Resumes "_qs;
inline const QString EarlyClose = u"Markets close early: "_qs;
inline const QString EarlyCloseEnd = u" - Quote sets end at "_qs;
inline const QString HolidayFileUnreadable
    = u"Holiday file holidays.txt could not be read - only the regular holidays are skipped: "_qs;
inline const QString HolidayLineSkipped
    = u"Holiday file holidays.txt: line skipped, not a date (YYYY-MM-DD) and a name - line "_qs;
inline const QString HolidayLinesNotListed
    = u"Holiday file holidays.txt: more lines skipped, not listed: "_qs;
inline const QString CalendarSettingsDefault
    = u"Calendar settings file calendar.ini unreadable or malformed - exchange holidays are skipped: "_qs;

// Alerts reported today (reported.dat)
inline const QString AlertMemoryDamaged
    = u"Reported alerts file reported.dat damaged - no alert counts as reported today: "_qs;
inline const QString AlertMemoryNotWritten = u"Reported alerts file reported.dat could not be written: "_qs;

// Mail
inline const QString EmailSent = u" Email message sent."_qs;
inline const QString EmailFailed = u" Email message failed: "_qs;
inline const QString EmailWithheld = u" Email alert(s) prepared but witheld - Disabled by user"_qs;

// Phone channels: the time the send began, then one of these (the failures followed by the reason)
inline const QString NtfySent = u" ntfy message sent."_qs;
inline const QString NtfyFailed = u" ntfy message failed: "_qs;
inline const QString TelegramSent = u" Telegram message sent."_qs;
inline const QString TelegramFailed = u" Telegram message failed: "_qs;
inline const QString WebhookSent = u" Webhook message sent."_qs;
inline const QString WebhookFailed = u" Webhook message failed: "_qs;
inline const QString ChannelSettingsUnreadable
    = u"Channel settings file channels.ini unreadable or malformed - every channel is off: "_qs;
// After the channel's name, followed by the reason
inline const QString ChannelTokenUnread
    = u" token could not be read from the desktop keyring - the channel sends nothing until its "
      u"settings are saved again: "_qs;

// Sounds
inline const QString SoundError = u"Sound Error - Location WAV module"_qs;

// Indicators: "Calc Error-Stock #:" <n> <label>, the label naming the procedure that failed
inline const QString CalcError = u"Calc Error-Stock #:"_qs;
inline const QString MACalc = u" MA Calc"_qs;
inline const QString ROCCalc = u" ROC Calc"_qs;
inline const QString StochasticKCalc = u" Stochastic K Calc"_qs;
inline const QString StochasticSlowKCalc = u" Stochastic %K Calc"_qs;
inline const QString StochasticSlowDCalc = u" Stochastic %D Calc"_qs;
inline const QString HighestHighModule = u" Highest High Module"_qs;
inline const QString LowestLowModule = u" Lowest Low Module"_qs;
inline const QString VolumeMACalc = u" Volume MA Calc"_qs;
inline const QString AlertFlagsCalc = u" Alert Flags"_qs;

// Market data (the texts of the download and parse error paths)
inline const QString QuoteDownloadError = u"Quote Download Error-Stock #:"_qs;
inline const QString DownloadError = u"Download Error-Stock #:"_qs;
inline const QString DataError = u"Data Error-Stock #:"_qs;
inline const QString BadSymbolOrServerDown = u" Bad symbol or Server down"_qs;
inline const QString FileTooSmall = u" Downloaded file too small or corrupt. Check Stock Symbol"_qs;

// Transfer failures the transfer control describes itself (logged after the response code)
inline const QString ResponseTooLarge = HttpFetcher::kResponseTooLargeText;
inline const QString HttpErrorNoReason = HttpFetcher::kHttpErrorNoReasonText;

// Server addresses (servers.ini)
inline const QString ServerSettingsDefaults
    = u"Server settings file servers.ini unreadable or malformed - default servers used: "_qs;
inline const QString ServerSettingsNotWritten = u"Server settings file servers.ini could not be written: "_qs;

// All of the above, for the manual's test.
QStringList All();

} // namespace LogText

} // namespace tradevane
