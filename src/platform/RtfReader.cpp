#include "platform/RtfReader.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>
#include <vector>

namespace tradevane {

namespace {

// Windows-1252, the code page of nearly every RTF file: 0x80..0x9F differ from Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

QChar fromCp1252(quint8 byte)
{
    return byte >= 0x80 && byte <= 0x9F ? QChar(kCp1252High[byte - 0x80]) : QChar(char16_t(byte));
}

// Groups whose text is never shown.
bool isHiddenDestination(const QByteArray& word)
{
    static const QList<QByteArray> kHidden = {
        "fonttbl",
        "stylesheet",
        "info",
        "pict",
        "object",
        "objdata",
        "header",
        "headerl",
        "headerr",
        "headerf",
        "footer",
        "footerl",
        "footerr",
        "footerf",
        "footnote",
        "listtable",
        "listoverridetable",
        "rsidtbl",
        "generator",
        "xmlnstbl",
        "themedata",
        "colorschememapping",
        "latentstyles",
        "datastore",
        "fldinst",
        "filetbl",
        "revtbl",
        "pgdsctbl",
        "nonshppict",
        "shpinst",
        "bkmkstart",
        "bkmkend",
        "userprops",
        "docvar",
        "template",
        "annotation",
        "atnid",
        "xe",
        "tc",
        "txe",
        "mmathPr",
        "fchars",
        "lchars",
        "wgrffmtfilter",
        "panose",
        "falt",
    };
    return kHidden.contains(word);
}

enum class Destination { Text, ColourTable, Hidden };

// What an RTF group carries; '{' saves it, '}' restores it.
struct GroupState
{
    Destination destination = Destination::Text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int vertical = 0; // -1 subscript, 1 superscript
    int halfPoints = 24;
    int colour = 0; // index into the colour table; 0 is the default colour
    int highlight = 0;
    int fallbackChars = 1; // characters after \u that stand in for it in old readers
    RtfAlignment alignment = RtfAlignment::Left;
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;

    bool sameCharacters(const GroupState& o) const
    {
        return bold == o.bold && italic == o.italic && underline == o.underline && strike == o.strike
            && vertical == o.vertical && halfPoints == o.halfPoints && colour == o.colour
            && highlight == o.highlight;
    }
    void plain()
    {
        const GroupState fresh;
        bold = fresh.bold;
        italic = fresh.italic;
        underline = fresh.underline;
        strike = fresh.strike;
        vertical = fresh.vertical;
        halfPoints = fresh.halfPoints;
        colour = fresh.colour;
        highlight = fresh.highlight;
    }
    void plainParagraph()
    {
        alignment = RtfAlignment::Left;
        leftIndent = rightIndent = firstIndent = spaceBefore = spaceAfter = 0;
    }
};

class RtfReader
{
public:
    RtfReader(const QByteArray& in, RtfSink& sink)
        : m_in(in)
        , m_sink(sink)
    { }

    void read()
    {
        while (m_pos < m_in.size() && !m_done) {
            const char c = m_in.at(m_pos);
            if (c == '{') {
                ++m_pos;
                m_groups.push_back(m_state);
                m_skip = 0;
            } else if (c == '}') {
                ++m_pos;
                closeGroup();
            } else if (c == '\\') {
                ++m_pos;
                control();
            } else {
                ++m_pos;
                if (c != '\r' && c != '\n')
                    text(fromCp1252(static_cast<quint8>(c)));
            }
        }
        flush();
        m_sink.end(paragraphFormat());
    }

private:
    void closeGroup()
    {
        m_skip = 0;
        if (m_groups.empty()) {
            m_done = true; // the document's own closing brace
            return;
        }
        m_state = m_groups.back();
        m_groups.pop_back();
    }

    void control()
    {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in.at(m_pos);
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++m_pos;
            symbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_in.size() && std::isalpha(static_cast<unsigned char>(m_in.at(m_pos))))
            ++m_pos;
        const QByteArray word = m_in.mid(start, m_pos - start);
        bool hasParam = false;
        int param = 0;
        const qsizetype numberStart = m_pos;
        if (m_pos < m_in.size() && m_in.at(m_pos) == '-')
            ++m_pos;
        while (m_pos < m_in.size() && std::isdigit(static_cast<unsigned char>(m_in.at(m_pos))))
            ++m_pos;
        if (m_pos > numberStart && !(m_pos == numberStart + 1 && m_in.at(numberStart) == '-')) {
            hasParam = true;
            param = static_cast<int>(std::clamp(
                m_in.mid(numberStart, m_pos - numberStart).toLongLong(), -1000000000LL, 1000000000LL));
        } else {
            m_pos = numberStart;
        }
        if (m_pos < m_in.size() && m_in.at(m_pos) == ' ')
            ++m_pos;
        keyword(word, hasParam, param);
    }

    void symbol(char c)
    {
        switch (c) {
        case '\'': {
            bool ok = false;
            const int byte = m_in.mid(m_pos, 2).toInt(&ok, 16);
            m_pos = std::min(m_pos + 2, m_in.size());
            if (ok && byte > 0)
                text(fromCp1252(static_cast<quint8>(byte)));
            break;
        }
        case '\\':
        case '{':
        case '}':
            text(QChar::fromLatin1(c));
            break;
        case '~':
            text(QChar(0x00A0));
            break;
        case '_':
            text(QChar(0x2011));
            break;
        case '*':
            // Marks a destination that readers may ignore: none of them is shown here.
            m_state.destination = Destination::Hidden;
            break;
        case '\r':
        case '\n':
            paragraph();
            break;
        default: // \- optional hyphen, \| \: formula and index marks
            break;
        }
    }

    void keyword(const QByteArray& w, bool hasParam, int param)
    {
        const bool on = !hasParam || param != 0;
        if (w == "colortbl") {
            m_state.destination = Destination::ColourTable;
            m_red = m_green = m_blue = -1;
        } else if (isHiddenDestination(w)) {
            m_state.destination = Destination::Hidden;
        } else if (m_state.destination == Destination::ColourTable) {
            if (w == "red")
                m_red = param;
            else if (w == "green")
                m_green = param;
            else if (w == "blue")
                m_blue = param;
        } else if (w == "bin") {
            m_pos = std::min(m_pos + std::max(param, 0), m_in.size());
        } else if (w == "par" || w == "sect" || w == "page" || w == "row") {
            paragraph();
        } else if (w == "line") {
            text(QChar::LineSeparator);
        } else if (w == "tab" || w == "cell") {
            text(u'\t');
        } else if (w == "u") {
            text(QChar(static_cast<char16_t>(param < 0 ? param + 65536 : param)));
            m_skip = m_state.fallbackChars;
        } else if (w == "uc") {
            m_state.fallbackChars = std::max(param, 0);
        } else if (w == "b") {
            m_state.bold = on;
        } else if (w == "i") {
            m_state.italic = on;
        } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "ulth") {
            m_state.underline = on;
        } else if (w == "ulnone") {
            m_state.underline = false;
        } else if (w == "strike") {
            m_state.strike = on;
        } else if (w == "super") {
            m_state.vertical = 1;
        } else if (w == "sub") {
            m_state.vertical = -1;
        } else if (w == "nosupersub") {
            m_state.vertical = 0;
        } else if (w == "fs") {
            m_state.halfPoints = hasParam && param > 0 ? param : 24;
        } else if (w == "cf") {
            m_state.colour = param;
        } else if (w == "highlight" || w == "cb") {
            m_state.highlight = param;
        } else if (w == "plain") {
            m_state.plain();
        } else if (w == "pard") {
            m_state.plainParagraph();
        } else if (w == "ql") {
            m_state.alignment = RtfAlignment::Left;
        } else if (w == "qc") {
            m_state.alignment = RtfAlignment::Centre;
        } else if (w == "qr") {
            m_state.alignment = RtfAlignment::Right;
        } else if (w == "qj") {
            m_state.alignment = RtfAlignment::Justify;
        } else if (w == "li") {
            m_state.leftIndent = param;
        } else if (w == "ri") {
            m_state.rightIndent = param;
        } else if (w == "fi") {
            m_state.firstIndent = param;
        } else if (w == "sb") {
            m_state.spaceBefore = param;
        } else if (w == "sa") {
            m_state.spaceAfter = param;
        } else if (w == "emdash") {
            text(QChar(0x2014));
        } else if (w == "endash") {
            text(QChar(0x2013));
        } else if (w == "bullet") {
            text(QChar(0x2022));
        } else if (w == "lquote") {
            text(QChar(0x2018));
        } else if (w == "rquote") {
            text(QChar(0x2019));
        } else if (w == "ldblquote") {
            text(QChar(0x201C));
        } else if (w == "rdblquote") {
            text(QChar(0x201D));
        } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
            text(u' ');
        }
    }

    void text(QChar c)
    {
        if (m_skip > 0) {
            --m_skip; // the stand-in of the last \u character
            return;
        }
        switch (m_state.destination) {
        case Destination::Hidden:
            return;
        case Destination::ColourTable:
            if (c == u';') {
                m_colours.push_back(m_red < 0 && m_green < 0 && m_blue < 0
                        ? std::optional<RtfColour>()
                        : RtfColour {std::clamp(m_red, 0, 255), std::clamp(m_green, 0, 255),
                            std::clamp(m_blue, 0, 255)});
                m_red = m_green = m_blue = -1;
            }
            return;
        case Destination::Text:
            break;
        }
        if (!m_run.isEmpty() && !m_runState.sameCharacters(m_state))
            flush();
        if (m_run.isEmpty())
            m_runState = m_state;
        m_run += c;
    }

    void paragraph()
    {
        if (m_state.destination != Destination::Text)
            return;
        flush();
        m_sink.paragraph(paragraphFormat());
    }

    std::optional<RtfColour> colour(int index) const
    {
        return index > 0 && std::cmp_less(index, m_colours.size())
            ? m_colours.at(static_cast<std::size_t>(index))
            : std::nullopt;
    }

    void flush()
    {
        if (m_run.isEmpty())
            return;
        RtfCharacterFormat f;
        f.bold = m_runState.bold;
        f.italic = m_runState.italic;
        f.underline = m_runState.underline;
        f.strike = m_runState.strike;
        f.vertical = m_runState.vertical;
        f.halfPoints = m_runState.halfPoints;
        f.foreground = colour(m_runState.colour);
        f.background = colour(m_runState.highlight);
        m_sink.text(m_run, f);
        m_run.clear();
    }

    RtfParagraphFormat paragraphFormat() const
    {
        RtfParagraphFormat f;
        f.alignment = m_state.alignment;
        f.leftIndent = m_state.leftIndent;
        f.rightIndent = m_state.rightIndent;
        f.firstIndent = m_state.firstIndent;
        f.spaceBefore = m_state.spaceBefore;
        f.spaceAfter = m_state.spaceAfter;
        return f;
    }

    const QByteArray& m_in;
    qsizetype m_pos = 0;
    bool m_done = false;
    RtfSink& m_sink;
    GroupState m_state;
    std::vector<GroupState> m_groups;
    int m_skip = 0;
    std::vector<std::optional<RtfColour>> m_colours;
    int m_red = -1;
    int m_green = -1;
    int m_blue = -1;
    QString m_run;
    GroupState m_runState;
};

} // namespace

bool isRichText(const QByteArray& bytes)
{
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < bytes.size() && std::isspace(static_cast<unsigned char>(bytes.at(start))))
        ++start;
    return bytes.mid(start, 5) == "{\\rtf";
}

namespace {

QString plainText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text.replace(u"\r\n"_qs, u"\n"_qs);
}

// Collects the text without its formatting: paragraphs end with a line break, as do the line
// breaks inside them, and no-break spaces are spaces.
class PlainTextSink final : public RtfSink
{
public:
    void text(const QString& run, const RtfCharacterFormat&) override
    {
        for (QChar c : run)
            mText += c == QChar::LineSeparator ? u'\n' : c == QChar(0x00A0) ? u' ' : c;
        m_paragraphEmpty = m_paragraphEmpty && run.isEmpty();
    }
    void paragraph(const RtfParagraphFormat&) override
    {
        mText += u'\n';
        m_paragraphEmpty = true;
        m_paragraphs = true;
    }
    void end(const RtfParagraphFormat&) override
    {
        // Word processors end the last paragraph with \par as well: no empty line after it.
        if (m_paragraphEmpty && m_paragraphs)
            mText.chop(1);
    }

    QString mText;

private:
    bool m_paragraphEmpty = true;
    bool m_paragraphs = false;
};

} // namespace

bool readRtf(const QByteArray& bytes, RtfSink& sink)
{
    if (!isRichText(bytes))
        return false;
    const qsizetype open = bytes.indexOf('{');
    // Start inside the outermost group, so that its closing brace ends the document.
    RtfReader(bytes.mid(open + 1), sink).read();
    return true;
}

QString decodePlainText(const QByteArray& bytes)
{
    return plainText(bytes);
}

QString richTextAsPlainText(const QByteArray& bytes)
{
    PlainTextSink sink;
    return readRtf(bytes, sink) ? sink.mText : plainText(bytes);
}

std::optional<QByteArray> readDocumentFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

std::optional<QString> richTextFileAsPlainText(const QString& path)
{
    const std::optional<QByteArray> bytes = readDocumentFile(path);
    if (!bytes)
        return std::nullopt;
    return richTextAsPlainText(*bytes);
}

} // namespace tradevane
