#pragma once

#include <QString>

namespace tradevane {

// The longest server text the program passes on, marker included.
constexpr qsizetype kServerTextMaxChars = 200;
inline const QString kServerTextCutMarker = QStringLiteral("...");

// What a server (or any other program) says, made fit for one line of the activity log, a
// terminal or a window: terminal escape sequences (ESC [ ... , ESC ] ... BEL and the like) are
// dropped whole, a line break or tab becomes one space, every other control character and every
// character that reorders text is dropped, blanks at either end are trimmed, and a text longer than
// kServerTextMaxChars keeps its start and ends in "...". A text cleaned once stays as it is.
QString readableServerText(const QString& text);

} // namespace tradevane
