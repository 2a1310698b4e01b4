#pragma once

#include "engine/model/AlertMessage.h"
#include "engine/model/StockState.h"

#include <QString>
#include <QStringList>
#include <QTime>

#include <QList>

#include <functional>

namespace tradevane {

// One quote set's alert evaluation: decides stock by stock which alerts hold, colours the
// symbols and composes one message of every alert line due; the engine hands a non-empty message
// to the log, the alert sound, the notice window, the mail sender and the phone channels, in that
// order.

// "MESSAGE FROM: TRADEVANE" ... with the time `now`, then a rule of 26 "=" and an empty line.
QString messageHeader(const QTime& now);

// The alert lines of a whole message, without the header, the rule and the line ends.
QStringList alertLinesOf(const QString& message);

// The line of alert `kind` for the stock: the symbol as stored (7 characters), the text, CR LF.
QString alertLine(const AlertSettings& settings, AlertKind kind);

// A new trading day: every alert may be reported again.
void armAllAlerts(AlertStates& alerts);

// One stock's alerts once its flags are up to date: whether any holds, and the line (with CR LF)
// of each that holds and is still armed, in kind order, with its kind. Without repeats, an alert
// that holds is disarmed for the rest of the day, whether or not it gave a line.
struct DueAlerts
{
    bool anyHeld = false;
    QStringList lines;
    QList<AlertKind> kinds; // one per line
};
DueAlerts takeDueAlerts(const AlertSettings& settings, AlertStates& alerts);

// The stock takes part in the evaluation: its quote is plausible, it is watched, and nothing
// failed for it in this set.
bool takesPart(const StockContext& stock);

// Evaluates every stock that takes part, in order, and returns the whole message (header and
// lines, with the lines one by one), or an empty message when no line is due. `colour` turns a taking part
// stock's symbol red (an alert holds) or green. Without repeats, an alert reported now is not reported again
// today.
AlertMessage evaluateAlerts(const std::function<StockContext(StockIndex)>& stockAt, const QTime& now,
    const std::function<void(StockIndex, bool alert)>& colour);

} // namespace tradevane
