#pragma once

#include <QString>

#include <optional>

// The two text-to-number conversions of the whole program.

// Whole-text conversion for arithmetic: blanks around the number are allowed, an empty text
// counts 0, a trailing carriage return (left by a CR LF line) is ignored; anything that is not
// a finite decimal number gives no value, and the caller takes its error path.
std::optional<double> TextToNumber(const QString& text);

// Leading-number value: the decimal number at the start of the text (after blanks), 0 when
// there is none. "12.5abc" is 12.5, "N/A" is 0.
double Val(const QString& text);
