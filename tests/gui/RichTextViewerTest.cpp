#include "TestSupport.h"

#include "gui/RichTextViewer.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace tradevane;

namespace {

// The character format at `pos` (the format of the character after it).
QTextCharFormat formatAt(QTextDocument& doc, int pos)
{
    QTextCursor cursor(&doc);
    cursor.setPosition(pos + 1);
    return cursor.charFormat();
}

int find(const QTextDocument& doc, const QString& text)
{
    return static_cast<int>(doc.toPlainText().indexOf(text));
}

TEST(RichText, BoldColourAndAccentedLettersAsAWordProcessorWritesThem)
{
    const QByteArray rtf
        = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1 Symbol;}}\r\n"
          "{\\colortbl ;\\red192\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
          "{\\*\\generator Riched20 10.0;}{\\info{\\title Hidden title}{\\author Someone}}"
          "\\viewkind4\\uc1\\pard\\fs20 Plain {\\b bold} \\cf1 red\\cf0  caf\\'e9 na\\u239?ve "
          "\\i slanted\\i0  \\ul under\\ulnone\\par\r\n"
          "\\pard\\qc\\fs32 Big\\line next\\tab tabbed\\par\r\n}";
    QTextDocument doc;
    readRichText(rtf, doc);

    EXPECT_EQ(doc.toPlainText(), u"Plain bold red caf\u00E9 na\u00EFve slanted under\nBig\nnext\ttabbed"_qs);
    EXPECT_EQ(doc.blockCount(), 2); // \line breaks the line, not the paragraph

    EXPECT_EQ(formatAt(doc, find(doc, u"Plain"_qs)).fontWeight(), QFont::Normal);
    EXPECT_EQ(formatAt(doc, find(doc, u"bold"_qs)).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(doc, find(doc, u"bold"_qs) + 3).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(doc, find(doc, u" red"_qs)).fontWeight(), QFont::Normal);

    const QTextCharFormat red = formatAt(doc, find(doc, u"red"_qs));
    EXPECT_EQ(red.foreground().color(), QColor(192, 0, 0));
    EXPECT_FALSE(formatAt(doc, find(doc, u"caf"_qs)).hasProperty(QTextFormat::ForegroundBrush));

    EXPECT_TRUE(formatAt(doc, find(doc, u"slanted"_qs)).fontItalic());
    EXPECT_FALSE(formatAt(doc, find(doc, u"under"_qs)).fontItalic());
    EXPECT_TRUE(formatAt(doc, find(doc, u"under"_qs)).fontUnderline());
    EXPECT_DOUBLE_EQ(formatAt(doc, find(doc, u"Plain"_qs)).fontPointSize(), 10.0);
    EXPECT_DOUBLE_EQ(formatAt(doc, find(doc, u"Big"_qs)).fontPointSize(), 16.0);

    EXPECT_EQ(doc.firstBlock().blockFormat().alignment(), Qt::AlignLeft);
    EXPECT_EQ(doc.lastBlock().blockFormat().alignment(), Qt::AlignHCenter);
}

TEST(RichText, EmbeddedObjectsAndFieldCodesAreLeftOut)
{
    const QByteArray rtf = "{\\rtf1\\ansi{\\stylesheet{\\s0 Normal;}}"
                           "A{\\*\\shppict{\\pict\\pngblip\\picw10 89504e470d0a1a0a}}B"
                           "{\\field{\\*\\fldinst HYPERLINK \"https://x.example\"}{\\fldrslt link}}"
                           "\\uc2 \\u8364\\'80\\'80 euro \\{braces\\} back\\\\slash"
                           "{\\nonshppict{\\pict 00ff}}\\bin3 {}}C\\unknownword12 D\\emdash E}";
    QTextDocument doc;
    readRichText(rtf, doc);
    EXPECT_EQ(doc.toPlainText(), u"ABlink\u20AC euro {braces} back\\slashCD\u2014E"_qs);
}

TEST(RichText, TextThatIsNotRichTextShowsAsPlainText)
{
    QTextDocument doc;
    readRichText("Line one\r\nLine {two}\r\n", doc);
    EXPECT_EQ(doc.toPlainText(), u"Line one\nLine {two}\n"_qs);
    readRichText("caf\xC3\xA9 and \xE9t\xE9", doc); // not UTF-8: read as single bytes
    EXPECT_EQ(doc.toPlainText(), u"caf\u00C3\u00A9 and \u00E9t\u00E9"_qs);
}

TEST(RichText, BrokenDocumentsStillLoadWhatTheyHold)
{
    QTextDocument doc;
    readRichText("{\\rtf1 {\\b unclosed {\\i groups", doc);
    EXPECT_EQ(doc.toPlainText(), u"unclosed groups"_qs);
    readRichText("{\\rtf1 end}} after\\'", doc);
    EXPECT_EQ(doc.toPlainText(), u"end"_qs);
    readRichText("{\\rtf1 \\u-4064? \\fs-5 x\\'zz}", doc);
    EXPECT_EQ(doc.toPlainText().size(), 3);
}

TEST(RichText, AParagraphOfManyRunsReadsInLinearTime)
{
    // 40,000 runs of alternating bold in one paragraph: the cursor used to lay the paragraph out
    // again after every run, minutes for this document; it is one edit now.
    QByteArray rtf = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i)
        rtf += "\\b x\\b0 y";
    rtf += "\\par}";
    QTextDocument doc;
    QElapsedTimer timer;
    timer.start();
    readRichText(rtf, doc);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(doc.toPlainText(), QString(u"xy"_qs).repeated(20000));
    EXPECT_EQ(doc.blockCount(), 1);
    EXPECT_EQ(formatAt(doc, 39998).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(doc, 39999).fontWeight(), QFont::Normal);
}

} // namespace
