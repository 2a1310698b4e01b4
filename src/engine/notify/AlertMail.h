#pragma once

#include "platform/Pending.h"

#include <QString>

#include <functional>
#include <memory>

namespace tradevane {

class ActivityLog;
class SettingsStore;
class SmtpClient;

// What became of one alert mail; the activity log has the line for each.
enum class MailOutcome { Sent, Failed, Withheld };

// Sends `message` as one mail through `smtp` with the addresses, server, login and subject of the
// mail settings, or withholds it when Disable Email is on, and writes one line to the activity log
// when the send ends: the time it began followed by " Email message sent.", " Email message
// failed: " and the reason (" sending cancelled" when it was cut off), or " Email alert(s)
// prepared but witheld - Disabled by user". A login whose password the keyring did not give fails
// at once, nothing sent. `number` is the stock number the log's own notes
// name. `done` hears the outcome from the event loop; the program goes on either way.
[[nodiscard]] std::unique_ptr<Pending> sendAlertMail(const QString& message, const SettingsStore& settings,
    SmtpClient& smtp, ActivityLog& log, int number, std::function<void(MailOutcome)> done);

} // namespace tradevane
