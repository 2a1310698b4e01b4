#include "TestSupport.h"

#include "gui/HelpMarker.h"
#include "gui/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

#include <memory>

using namespace tradevane;

namespace {

// Page 0 is the contents (hlpCont.doc, lblHelpCont, ShapeHelpCont), pages 1..7 follow (hlpPg1.doc ...).
QString pageName(int page)
{
    return page == 0 ? u"Cont"_qs : u"Pg"_qs + QString::number(page);
}

QByteArray rtfPage(const QByteArray& text)
{
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 " + text + "\\par}";
}

class HelpWindowTest : public ProgramTest
{
protected:
    void open()
    {
        m_window = std::make_unique<HelpWindow>();
        m_window->setAttribute(Qt::WA_DeleteOnClose, false); // the test owns it
        m_window->show();
    }
    QString shown() const { return m_window->findChild<QTextEdit*>(u"rtfHelp"_qs)->toPlainText(); }
    void click(int page) const { m_window->findChild<ClickLabel*>(u"lblHelp"_qs + pageName(page))->click(); }
    QColor marker(int page) const
    {
        return m_window->findChild<MarkerShape*>(u"ShapeHelp"_qs + pageName(page))->fillColor();
    }

    // The marker of `page` is light orange, every other one has the system window colour.
    void expectMarkerOn(int page) const
    {
        const QColor background = QApplication::palette().color(QPalette::Base);
        for (int other = 0; other < HelpWindow::kPages; ++other)
            EXPECT_EQ(marker(other), other == page ? QColor(255, 192, 128) : background)
                << "marker " << other;
    }

    std::unique_ptr<HelpWindow> m_window;
};

} // namespace

// (That the shipped pages start with their headings is checked with the manual.)
TEST_F(HelpWindowTest, OpensOnTheContentsAndEveryLabelShowsItsPage)
{
    for (int page = 0; page < HelpWindow::kPages; ++page)
        writeFile(u"hlp"_qs + pageName(page) + u".doc"_qs, rtfPage("Page " + QByteArray::number(page)));
    open();
    EXPECT_EQ(m_window->currentPage(), 0);
    EXPECT_EQ(shown(), u"Page 0"_qs);
    expectMarkerOn(0);
    for (int page : {3, 1, 7, 2, 6, 4, 5, 0}) {
        click(page);
        EXPECT_EQ(m_window->currentPage(), page);
        EXPECT_EQ(shown(), u"Page "_qs + QString::number(page));
        expectMarkerOn(page);
    }
}

TEST_F(HelpWindowTest, ThePageAlreadyShownIsReadAgainFromItsFile)
{
    writeFile(u"hlpPg2.doc"_qs, rtfPage("First version"));
    open();
    click(2);
    EXPECT_EQ(shown(), u"First version"_qs);

    writeFile(u"hlpPg2.doc"_qs, rtfPage("Second version"));
    click(2);
    EXPECT_EQ(shown(), u"Second version"_qs);
    expectMarkerOn(2);

    QFile::remove(path(u"hlpPg2.doc"_qs));
    click(2);
    EXPECT_TRUE(shown().isEmpty()) << "a document that has gone leaves an empty page, not the old text";
}

TEST_F(HelpWindowTest, MissingOrUnreadableDocumentsGiveEmptyPagesInAUsableWindow)
{
    // Only page 1 exists; page 4's "document" is a folder, which cannot be read.
    writeFile(u"hlpPg1.doc"_qs, rtfPage("Page one"));
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(u"hlpPg4.doc"_qs));
    open();
    EXPECT_TRUE(shown().isEmpty());
    expectMarkerOn(0);

    for (const auto& [page, text] :
        {std::pair {1, u"Page one"_qs}, {3, QString()}, {4, QString()}, {1, u"Page one"_qs}}) {
        click(page);
        EXPECT_EQ(shown(), text) << page;
        expectMarkerOn(page);
    }
    EXPECT_TRUE(m_boxes.shown().isEmpty()) << "no message box interrupts the reader";

    m_window->findChild<QPushButton*>(u"cmdExitHelp"_qs)->click();
    EXPECT_FALSE(m_window->isVisible());
}

TEST_F(HelpWindowTest, ArrowKeysScrollTheDocument)
{
    copyResource(u"hlpPg7.doc"_qs);
    open();
    click(7);
    auto* text = m_window->findChild<QTextEdit*>(u"rtfHelp"_qs);
    ASSERT_GT(text->verticalScrollBar()->maximum(), 0)
        << "the troubleshooting page is longer than the window";
    EXPECT_NE(text->focusPolicy(), Qt::NoFocus) << "the page takes the keys after a label click";
    QTest::keyClick(text, Qt::Key_Down);
    const int oneLine = text->verticalScrollBar()->value();
    EXPECT_GT(oneLine, 0) << "the first press already scrolls";
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(text, Qt::Key_Down);
    EXPECT_GT(text->verticalScrollBar()->value(), oneLine);
    for (int i = 0; i < 11; ++i)
        QTest::keyClick(text, Qt::Key_Up);
    EXPECT_EQ(text->verticalScrollBar()->value(), 0);
}

TEST_F(HelpWindowTest, TheHelpButtonKeepsOneWindowUntilItIsClosed)
{
    writeFile(u"hlpCont.doc"_qs, rtfPage("Contents"));
    writeFile(u"hlpPg5.doc"_qs, rtfPage("Page five"));
    QWidget owner;
    QPointer<HelpWindow> kept;
    HelpWindow* first = showHelpWindow(kept, &owner);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    first->onHelpPageClicked(5);

    // Pressed again while it is open: the same window, still on the page the reader chose.
    EXPECT_EQ(showHelpWindow(kept, &owner), first);
    EXPECT_EQ(first->currentPage(), 5);

    QPointer<HelpWindow> closed = first;
    first->findChild<QPushButton*>(u"cmdExitHelp"_qs)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull()) << "closing unloads the window";

    HelpWindow* again = showHelpWindow(kept, &owner);
    EXPECT_EQ(again->currentPage(), 0);
    EXPECT_EQ(again->findChild<QTextEdit*>(u"rtfHelp"_qs)->toPlainText(), u"Contents"_qs);
    again->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
