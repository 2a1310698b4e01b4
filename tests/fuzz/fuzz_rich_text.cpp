// The RTF reader of the help pages and the licence: ReadRichText into a text document.
#include "FuzzSupport.h"

#include "platform/RichTextGui.h"

#include <QGuiApplication>
#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    // Text documents need fonts, so a GUI application, on the platform that needs no display. It
    // gets the program name only: it would take out of the command line the options it knows,
    // before libFuzzer reads it.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argumentCount = 1;
    static char* arguments[] = {(*argv)[0], nullptr};
    static QGuiApplication application(argumentCount, arguments);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QTextDocument document;
    document.setPlainText(u"An earlier page."_qs);
    ReadRichText(fuzz::Bytes(data, size), document);
    if (size == 0)
        FUZZ_CHECK(document.isEmpty()); // the earlier page is gone
    (void)document.toPlainText();
    return 0;
}
