#include "platform/Conversions.h"

#include <QStringView>

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace tradevane {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Length of the decimal number at the start of `text`: optional sign, digits, at most one
// decimal point, at least one digit. 0 when the text does not start with one.
qsizetype numberLength(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    for (; i < n && isDigit(text[i]); ++i)
        ++digits;
    if (i < n && text[i] == u'.') {
        ++i;
        for (; i < n && isDigit(text[i]); ++i)
            ++digits;
    }
    return digits == 0 ? 0 : i;
}

// The text after a number starts an exponent: "e" or "E", an optional sign, a digit.
bool hasExponent(QStringView rest)
{
    if (rest.isEmpty() || (rest[0] != u'e' && rest[0] != u'E'))
        return false;
    qsizetype i = 1;
    if (i < rest.size() && (rest[i] == u'+' || rest[i] == u'-'))
        ++i;
    return i < rest.size() && isDigit(rest[i]);
}

// Converts text already known to be a decimal number (ASCII sign, digits and point). No value
// when it is too large for a double; a number too small to be told from zero is 0.
std::optional<double> convert(QStringView number)
{
    // from_chars reads neither a leading "+" nor the locale; it rounds to the nearest double.
    if (number.front() == u'+')
        number = number.sliced(1);
    std::array<char, 64> shortText;
    std::string longText;
    char* begin = shortText.data();
    if (number.size() > qsizetype(shortText.size())) {
        longText.resize(number.size());
        begin = longText.data();
    }
    for (qsizetype i = 0; i < number.size(); ++i)
        begin[i] = char(number[i].unicode());
    double value = 0.0;
    const auto [end, error] = std::from_chars(begin, begin + number.size(), value);
    if (error == std::errc() && end == begin + number.size())
        return value;
    // Out of range (too large, or so small that it reads as 0) or a form from_chars does not
    // take: Qt's reading decides.
    bool ok = false;
    value = number.toDouble(&ok);
    if (ok && std::isfinite(value))
        return value;
    if (std::isinf(value) || std::isnan(value))
        return std::nullopt;
    return 0.0;
}

} // namespace

std::optional<double> textToNumber(const QString& text)
{
    QStringView view(text);
    while (!view.isEmpty() && isBlank(view.front()))
        view = view.sliced(1);
    while (!view.isEmpty() && isBlank(view.back()))
        view.chop(1);
    if (view.isEmpty())
        return 0.0;
    if (numberLength(view) != view.size())
        return std::nullopt;
    return convert(view);
}

double val(const QString& text, bool* invalid)
{
    QStringView view(text);
    while (!view.isEmpty() && isBlank(view.front()))
        view = view.sliced(1);
    const qsizetype length = numberLength(view);
    if (length == 0)
        return 0.0;
    const std::optional<double> value
        = hasExponent(view.sliced(length)) ? std::nullopt : convert(view.first(length));
    if (!value) {
        if (invalid)
            *invalid = true;
        return 0.0;
    }
    return *value;
}

QString withoutControls(QString text)
{
    for (QChar& c : text) {
        if (!c.isPrint())
            c = u'?';
    }
    return text;
}

} // namespace tradevane
