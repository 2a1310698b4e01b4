#include "platform/ReadableText.h"

#include <QString>

#include <gtest/gtest.h>

using namespace tradevane;

namespace {

TEST(ReadableLine, ControlsAndEscapesAreDroppedAndLongTextsCut)
{
    const std::pair<QString, QString> cases[] = {
        {u"Not Found"_qs, u"Not Found"_qs},
        {u"\x1b]0;title\x07"
         "Bad \x1b[1;31mGateway\x1b[0m"_qs,
            u"Bad Gateway"_qs}, // window title, colours
        {u"a\x1bP1;2|data\x1b\\b\x1b(Bc"_qs, u"abc"_qs}, // a device string, a character-set switch
        {u"bell\x07\x08\x7f\x85\u202e\ufeff!"_qs,
            u"bell!"_qs}, // BEL, BS, DEL, C1, right-to-left override, BOM
        {u"  two\r\nlines\rand\ttabs\n"_qs, u"two lines and tabs"_qs},
        {u"caf\u00e9 \U0001F600"_qs, u"caf\u00e9 \U0001F600"_qs},
        {u"\x1b]0;never ends"_qs, QString()},
    };
    for (const auto& [text, clean] : cases)
        EXPECT_EQ(readableLine(text), clean) << text.toStdString();

    const QString cut = readableLine(QString(150, u'a') + u"\r\n"_qs + QString(100'000, u'b'));
    EXPECT_EQ(cut, QString(150, u'a') + u' ' + QString(46, u'b') + u"..."_qs);
    EXPECT_EQ(readableLine(cut), cut); // cleaning twice changes nothing
    EXPECT_EQ(readableLine(QString(200, u'c')), QString(200, u'c'));
    // Shorter limits (a symbol, a holiday's name): the same cut, a limit too short for the marker
    // without it.
    EXPECT_EQ(readableLine(u"BRK \x1b[2JB.CLASSA"_qs, 7), u"BRK..."_qs);
    EXPECT_EQ(readableLine(u"\tABCDEF"_qs, 3), u"ABC"_qs);
}

} // namespace
