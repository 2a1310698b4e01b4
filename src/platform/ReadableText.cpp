#include "platform/ReadableText.h"

#include <algorithm>

namespace tradevane {

namespace {

constexpr char16_t kEsc = 0x1b;
constexpr char16_t kBel = 0x07;
constexpr char16_t kCsi8Bit = 0x9b; // ESC [ as one character
constexpr char16_t kOsc8Bit = 0x9d; // ESC ] as one character
constexpr char16_t kSt8Bit = 0x9c; // the string terminator as one character

// Where the escape sequence starting at `i` (an ESC or an 8-bit introducer) ends: the index just
// after it.
qsizetype skipEscape(QStringView text, qsizetype i)
{
    const qsizetype n = text.size();
    char16_t kind = text[i].unicode();
    ++i;
    if (kind == kEsc) {
        if (i >= n)
            return i;
        kind = text[i].unicode();
        ++i;
        if (kind == u'[') {
            kind = kCsi8Bit;
        } else if (kind == u']' || kind == u'P' || kind == u'X' || kind == u'^' || kind == u'_') {
            kind = kOsc8Bit; // strings up to BEL or ST
        } else {
            // Intermediate bytes ("ESC ( B" chooses a character set), then one final byte.
            while (kind >= 0x20 && kind < 0x30 && i < n)
                kind = text[i++].unicode();
            return i;
        }
    }
    if (kind == kCsi8Bit) {
        // Parameter and intermediate bytes, then one final byte.
        while (i < n && text[i].unicode() >= 0x20 && text[i].unicode() < 0x40)
            ++i;
        return i < n ? i + 1 : i;
    }
    // A string: up to BEL, ESC \ or the 8-bit terminator.
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == kBel || c == kSt8Bit)
            return i + 1;
        if (c == kEsc)
            return i + 1 < n && text[i + 1] == u'\\' ? i + 2 : i + 1;
    }
    return i;
}

} // namespace

QString readableLine(const QString& text, qsizetype maxChars)
{
    maxChars = std::max<qsizetype>(maxChars, 0);
    QString clean;
    clean.reserve(std::min(text.size(), maxChars + 1));
    bool cut = false;
    for (qsizetype i = 0; i < text.size();) {
        const char16_t c = text[i].unicode();
        if (c == kEsc || c == kCsi8Bit || c == kOsc8Bit) {
            i = skipEscape(text, i);
            continue;
        }
        ++i;
        if (c == u'\r' && i < text.size() && text[i] == u'\n')
            continue; // CR LF is one break
        if (c == u' ' || c == u'\r' || c == u'\n' || c == u'\t') {
            if (!clean.isEmpty() && clean.back() != u' ')
                clean += u' ';
        } else if (QChar::isHighSurrogate(c) && i < text.size() && text[i].isLowSurrogate()) {
            const char16_t low = text[i++].unicode();
            if (QChar::isPrint(QChar::surrogateToUcs4(c, low))) {
                clean += QChar(c);
                clean += QChar(low);
            }
        } else if (QChar::isPrint(char32_t {c})) {
            // Not controls, format characters (the marks and overrides that make a line read
            // differently from what it holds among them), lone surrogates or unassigned ones.
            clean += QChar(c);
        }
        // The rest of a text that is cut anyway is not read.
        if (clean.size() > maxChars * 2 + 1) {
            cut = i < text.size();
            break;
        }
    }
    while (!clean.isEmpty() && clean.back() == u' ')
        clean.chop(1);
    if (cut || clean.size() > maxChars) {
        const bool marked = maxChars > kReadableLineCutMarker.size();
        clean.truncate(marked ? maxChars - kReadableLineCutMarker.size() : maxChars);
        // A character outside the basic plane is never cut in half.
        if (!clean.isEmpty() && clean.back().isHighSurrogate())
            clean.chop(1);
        // Nor does the cut leave a blank before the marker.
        while (!clean.isEmpty() && clean.back() == u' ')
            clean.chop(1);
        if (marked)
            clean += kReadableLineCutMarker;
    }
    return clean;
}

} // namespace tradevane
