#pragma once

#include <QString>

// What became of one alert mail; the activity log has the line for each.
enum class MailOutcome { Sent, Failed, Withheld };

// Sends `message` as one mail through SMTP1 with the addresses, server, login and subject of
// gMailSettings, or withholds it when Disable Email is on, and writes one line to the activity
// log: the time followed by " Email message sent.", " Email message failed: " and the reason,
// or " Email alert(s) prepared but witheld - Disabled by user". The program goes on either way.
MailOutcome SendAlertMail(const QString& message);
