#include "gui/RichTextViewer.h"

#include "platform/RtfReader.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace tradevane {

namespace {

QColor colourOf(const RtfColour& colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}

Qt::Alignment alignmentOf(RtfAlignment alignment)
{
    switch (alignment) {
    case RtfAlignment::Centre:
        return Qt::AlignHCenter;
    case RtfAlignment::Right:
        return Qt::AlignRight;
    case RtfAlignment::Justify:
        return Qt::AlignJustify;
    case RtfAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

// Builds a text document from what the RTF reader finds.
class DocumentSink final : public RtfSink
{
public:
    explicit DocumentSink(QTextDocument& document)
        : m_cursor(&document)
    {
        // One edit for the whole document: outside an edit block the cursor lays out its paragraph
        // again after every insertion, which makes a long paragraph of many runs quadratic.
        m_cursor.beginEditBlock();
    }

    void text(const QString& run, const RtfCharacterFormat& format) override
    {
        QTextCharFormat f;
        f.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(format.italic);
        f.setFontUnderline(format.underline);
        f.setFontStrikeOut(format.strike);
        f.setFontPointSize(format.halfPoints / 2.0);
        if (format.vertical != 0)
            f.setVerticalAlignment(
                format.vertical > 0 ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignSubScript);
        if (format.foreground)
            f.setForeground(colourOf(*format.foreground));
        if (format.background)
            f.setBackground(colourOf(*format.background));
        m_cursor.insertText(run, f);
    }

    void paragraph(const RtfParagraphFormat& ended) override
    {
        m_cursor.setBlockFormat(blockFormat(ended));
        m_cursor.insertBlock();
    }

    void end(const RtfParagraphFormat& last) override
    {
        m_cursor.setBlockFormat(blockFormat(last));
        // Word processors end the last paragraph with \par as well: no empty line after it.
        if (m_cursor.block().text().isEmpty() && m_cursor.block().previous().isValid())
            m_cursor.deletePreviousChar();
        m_cursor.endEditBlock();
    }

private:
    static QTextBlockFormat blockFormat(const RtfParagraphFormat& format)
    {
        // Twips to the document's pixels at 96 dots per inch.
        constexpr double kTwipsPerPixel = 15.0;
        QTextBlockFormat f;
        f.setAlignment(alignmentOf(format.alignment));
        f.setLeftMargin(format.leftIndent / kTwipsPerPixel);
        f.setRightMargin(format.rightIndent / kTwipsPerPixel);
        f.setTextIndent(format.firstIndent / kTwipsPerPixel);
        f.setTopMargin(format.spaceBefore / kTwipsPerPixel);
        f.setBottomMargin(format.spaceAfter / kTwipsPerPixel);
        return f;
    }

    QTextCursor m_cursor;
};

} // namespace

void readRichText(const QByteArray& bytes, QTextDocument& document)
{
    document.clear();
    if (!isRichText(bytes)) {
        document.setPlainText(decodePlainText(bytes));
        return;
    }
    DocumentSink sink(document);
    readRtf(bytes, sink);
}

bool loadRichTextFile(QTextEdit* view, const QString& path)
{
    view->clear();
    const std::optional<QByteArray> bytes = readDocumentFile(path);
    if (!bytes)
        return false;
    readRichText(*bytes, *view->document());
    view->moveCursor(QTextCursor::Start);
    return true;
}

} // namespace tradevane
