#pragma once

#include <QString>

#include <optional>

namespace tradevane {

// The two text-to-number conversions of the whole program. Both read plain decimal numbers as
// the quote server and the settings windows write them: an optional sign, digits, at most one
// decimal point ("12", "-5", "10.25", ".5", "7."), with "." as the decimal point whatever the
// system's locale. There are no exponents, hexadecimal forms, infinities or NaNs.

// Whole-text conversion for arithmetic. Blanks (spaces, tabs, CR, LF) around the number are
// allowed, so the CR left at the end of a CR LF line reads as the number before it; an empty or
// all-blank text counts 0. Anything else that is not a decimal number, or a number too large for
// a double, gives no value and the caller takes its error path. (A settings box that must not be
// empty checks that itself.)
std::optional<double> textToNumber(const QString& text);

// Leading-number value: the decimal number at the start of the text (after blanks), up to the
// first character that cannot continue it; 0 when there is none. "12.5abc" is 12.5, "N/A" is 0.
// A number that is no plain decimal one gives 0 as well: one in exponent form ("1e308", "1.25E2",
// "2e-3", which the whole-text conversion refuses too) and one too large for a double. Callers
// that do arithmetic with the value pass `invalid`, which is then set to true, and take their
// error path.
double val(const QString& text, bool* invalid = nullptr);

// A text from outside with aligned columns, for a table cell or a terminal: every character that is
// not printable (line ends and tabs included) becomes "?", nothing else changes. For one line of
// a log or a label, see readableLine (platform/ReadableText.h).
QString withoutControls(QString text);

} // namespace tradevane
