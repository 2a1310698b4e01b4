#include "TestSupport.h"

#include "engine/log/LogTexts.h"
#include "gui/HelpWindow.h"
#include "gui/RichTextViewer.h"

#include <QFile>
#include <QProcess>
#include <QTextDocument>

using namespace tradevane;

namespace {

const QString kTroubleshootingPage = u"hlpPg7"_qs;

QString sourceText(const QString& page)
{
    QFile file(QStringLiteral(TRADEVANE_SOURCE_DIR "/docs/manual/") + page + u".md"_qs);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The page as a reader sees it in the help window.
QString shippedText(const QString& page)
{
    QFile file(QStringLiteral(TRADEVANE_SOURCE_DIR "/resources/") + page + u".doc"_qs);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QTextDocument document;
    readRichText(file.readAll(), document);
    return document.toPlainText();
}

} // namespace

// Every fixed text the program can write into the activity log must be explained on the
// troubleshooting page, both in its source and in the document that ships.
TEST(Manual, TheTroubleshootingPageExplainsEveryLogText)
{
    const QString source = sourceText(kTroubleshootingPage);
    const QString shipped = shippedText(kTroubleshootingPage);
    ASSERT_FALSE(source.isEmpty());
    ASSERT_FALSE(shipped.isEmpty());
    for (const QString& text : LogText::all()) {
        const QString wanted = text.trimmed();
        EXPECT_TRUE(source.contains(wanted))
            << "not explained in the manual's source: " << wanted.toStdString();
        EXPECT_TRUE(shipped.contains(wanted))
            << "not explained in " << kTroubleshootingPage.toStdString() << ".doc: " << wanted.toStdString();
    }
}

TEST(Manual, EveryPageShipsAndStartsWithItsHeading)
{
    const QStringList pages = {u"hlpCont"_qs, u"hlpPg1"_qs, u"hlpPg2"_qs, u"hlpPg3"_qs, u"hlpPg4"_qs,
        u"hlpPg5"_qs, u"hlpPg6"_qs, u"hlpPg7"_qs};
    for (int page = 0; page < HelpWindow::kPages; ++page) {
        EXPECT_TRUE(HelpWindow::pageDocument(page).endsWith(pages[page] + u".doc"_qs));
        const QString shipped = shippedText(pages[page]);
        const QString heading = sourceText(pages[page]).section(u'\n', 0, 0).mid(2);
        EXPECT_FALSE(heading.isEmpty()) << pages[page].toStdString();
        EXPECT_TRUE(shipped.startsWith(heading)) << pages[page].toStdString();
        EXPECT_GT(shipped.size(), 1000) << pages[page].toStdString();
    }
}

// The documents are built from docs/manual by a script; a source edited without rebuilding
// them would ship an outdated manual.
TEST(Manual, TheShippedDocumentsAreBuiltFromTheirSources)
{
    const QString python = u"/usr/bin/python3"_qs;
    ASSERT_TRUE(QFile::exists(python)) << "scripts/make-manual.py needs Debian's python3";
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(python, {QStringLiteral(TRADEVANE_SOURCE_DIR "/scripts/make-manual.py"), u"--check"_qs});
    ASSERT_TRUE(script.waitForFinished(60000));
    EXPECT_EQ(script.exitCode(), 0) << script.readAll().toStdString();
}
