#pragma once

#include <QString>

namespace tradevane {

// The longest text from outside the program passes on, marker included, unless told otherwise.
constexpr qsizetype kReadableLineMaxChars = 200;
inline const QString kReadableLineCutMarker = QStringLiteral("...");

// A text from outside the program (what a server or another program says, a line of a file the
// user wrote) made fit for one line of the activity log, a terminal or a window: terminal escape
// sequences (ESC [ ... , ESC ] ... BEL and the like) are dropped whole, a run of blanks, line
// breaks and tabs becomes one space, every other character that is not printable (controls,
// format characters such as those that reorder text, lone surrogates, unassigned ones) is
// dropped, blanks at either end are trimmed, and a text longer than `maxChars` keeps its start
// and ends in "..." (a limit too short for the marker just cuts). A text cleaned once stays as
// it is.
QString readableLine(const QString& text, qsizetype maxChars = kReadableLineMaxChars);

} // namespace tradevane
