#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tradevane {

// The rich-text documents beside the program (help pages, licence) are RTF as word processors
// write it. The reader keeps paragraphs and alignment, bold, italic, underline, font sizes and
// colours, and leaves out font and style tables, document information, pictures and other
// embedded objects. What it finds goes to a sink: a window builds its document from it, a
// terminal takes the text alone.

enum class RtfAlignment { Left, Centre, Right, Justify };

struct RtfColour
{
    int red = 0; // 0..255
    int green = 0;
    int blue = 0;
};

struct RtfCharacterFormat
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int vertical = 0; // -1 subscript, 1 superscript
    int halfPoints = 24; // font size in half points
    std::optional<RtfColour> foreground; // none: the default colour
    std::optional<RtfColour> background;
};

// Indents and spacing in twips (1/1440 inch).
struct RtfParagraphFormat
{
    RtfAlignment alignment = RtfAlignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
};

// Receives a document in order: runs of text of one format, the end of each paragraph with its
// format, and at last the format of the final paragraph. A line break inside a paragraph comes
// as U+2028 within a run.
class RtfSink
{
public:
    virtual ~RtfSink() = default;
    virtual void text(const QString& run, const RtfCharacterFormat& format) = 0;
    virtual void paragraph(const RtfParagraphFormat& ended) = 0;
    // The document has ended; a final paragraph left empty by a closing \par is the sink's to drop.
    virtual void end(const RtfParagraphFormat& last) = 0;
};

// The bytes begin (after a byte order mark and blanks) with "{\rtf".
bool isRichText(const QByteArray& bytes);

// Reads `bytes` into `sink` when they are RTF; false (and nothing sent) when they are not.
bool readRtf(const QByteArray& bytes, RtfSink& sink);

// Bytes that are not RTF as text: UTF-8 where they are valid UTF-8, else single bytes (Latin-1);
// CR LF becomes LF.
QString decodePlainText(const QByteArray& bytes);

// The text of a document without its formatting (for a terminal).
QString richTextAsPlainText(const QByteArray& bytes);

// The bytes of a document file; nothing when it cannot be read.
std::optional<QByteArray> readDocumentFile(const QString& path);

// The text of the document file at `path` without its formatting; nothing when it cannot be read.
std::optional<QString> richTextFileAsPlainText(const QString& path);

} // namespace tradevane
