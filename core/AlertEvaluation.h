#pragma once

#include "core/CycleWindow.h"

#include <QString>

// One quote set's alert evaluation: decides stock by stock which alerts hold, colours the
// symbols, composes one message of every alert line due and hands a non-empty message to the
// log, the alert sound, the notice window and the mail sender, in that order.

// "MESSAGE FROM: TRADEVANE" ... with the current time, then a rule of 26 "=" and an empty line.
QString MessageHeader();

// The line of alert `kind` (1..15) for `stock`: the symbol as stored (7 characters), the text,
// CR LF.
QString AlertLine(int stock, int kind);

// Runs the evaluation; returns the whole message (header and lines) that was handed on, or an
// empty text when nothing was due.
QString EvaluateAlerts(CycleWindow& window, const PerStock<qint16>& QuoteValid);
