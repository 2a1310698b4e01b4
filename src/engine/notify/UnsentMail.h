#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tradevane {

class ActivityLog;

// unsent.dat in the data folder: the alert mail of the quote set in hand, kept from the moment its
// alerts count as reported (reported.dat) until the mail has its line in the activity log (sent,
// failed, withheld or cut off by STOP). A program that ends without a word in between (a power cut,
// a kill) leaves it behind, and the next START sends it before anything else, so the alerts are
// not lost. Plain text: a first line, then the message as it was to be sent:
//
//   Tradevane unsent alert mail 1
//   MESSAGE FROM: TRADEVANE ...
QString unsentMailPath();

QByteArray encodeUnsentMail(const QString& message);
// The message, or nothing when `bytes` are not an unsent mail.
std::optional<QString> decodeUnsentMail(const QByteArray& bytes);

// Writes unsent.dat; a failure is noted in the activity log (`number` is the stock the log's own
// notes name) and the run goes on.
void keepUnsentMail(const QString& message, ActivityLog& log, int number);
// The mail of an earlier run that never ended; a damaged file is noted, removed and gives none.
std::optional<QString> readUnsentMail(ActivityLog& log, int number);
void dropUnsentMail();

} // namespace tradevane
