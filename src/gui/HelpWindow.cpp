#include "gui/HelpWindow.h"

#include "gui/HelpMarker.h"
#include "gui/RichTextViewer.h"
#include "platform/ProgramFolder.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tradevane {

namespace {

struct PageInfo
{
    const char16_t* label;
    const char16_t* shape;
    const char16_t* caption;
    const char16_t* document;
    const char16_t* spoken;
};

constexpr std::array<PageInfo, HelpWindow::kPages> kPageInfo = {{
    {u"lblHelpCont", u"ShapeHelpCont", u"C", u"hlpCont.doc", u"Help contents"},
    {u"lblHelpPg1", u"ShapeHelpPg1", u"1", u"hlpPg1.doc", u"Help page 1"},
    {u"lblHelpPg2", u"ShapeHelpPg2", u"2", u"hlpPg2.doc", u"Help page 2"},
    {u"lblHelpPg3", u"ShapeHelpPg3", u"3", u"hlpPg3.doc", u"Help page 3"},
    {u"lblHelpPg4", u"ShapeHelpPg4", u"4", u"hlpPg4.doc", u"Help page 4"},
    {u"lblHelpPg5", u"ShapeHelpPg5", u"5", u"hlpPg5.doc", u"Help page 5"},
    {u"lblHelpPg6", u"ShapeHelpPg6", u"6", u"hlpPg6.doc", u"Help page 6"},
    {u"lblHelpPg7", u"ShapeHelpPg7", u"7", u"hlpPg7.doc", u"Help page 7"},
}};

QString text(const char16_t* s)
{
    return QString::fromUtf16(s);
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(u"frmHelp"_qs);
    setWindowTitle(u"Tradevane Help"_qs);
    setAttribute(Qt::WA_DeleteOnClose); // closing unloads it; the next Help opens it afresh

    auto* contents = new QLabel(u"Contents"_qs, this);
    contents->setObjectName(u"lblContents"_qs);
    QFont heading = contents->font();
    heading.setBold(true);
    contents->setFont(heading);

    auto* pages = new QHBoxLayout;
    pages->setSpacing(6);
    pages->addWidget(contents);
    pages->addSpacing(6);
    for (int page = 0; page < kPages; ++page) {
        const PageInfo& info = kPageInfo[page];
        const HelpMarker marker = makeHelpMarker(text(info.label), text(info.shape), text(info.spoken),
            text(info.caption), MarkerShape::Form::Rectangle, QSize(34, 26), this);
        m_shapeHelpPage[page] = marker.shape;
        m_lblHelpPage[page] = marker.label;
        pages->addWidget(marker.shape);
    }
    pages->addStretch();
    auto* hint = new QLabel(u"Use keyboard UP/DOWN arrow keys to scroll documents"_qs, this);
    hint->setObjectName(u"lblScrollHint"_qs);
    pages->addWidget(hint);

    m_rtfHelp = new QTextEdit(this);
    m_rtfHelp->setObjectName(u"rtfHelp"_qs);
    m_rtfHelp->setAccessibleName(u"Help text"_qs);
    m_rtfHelp->setReadOnly(true);
    // No text cursor: the arrow keys scroll the page at once, line by line.
    m_rtfHelp->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_rtfHelp->document()->setDocumentMargin(12);

    m_cmdExitHelp = new QPushButton(this);
    m_cmdExitHelp->setObjectName(u"cmdExitHelp"_qs);
    m_cmdExitHelp->setAccessibleName(u"Close Help"_qs);
    m_cmdExitHelp->setToolTip(u"Close this help window"_qs);
    m_cmdExitHelp->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    m_cmdExitHelp->setFixedSize(32, 26);
    m_lblExitHelp = new QLabel(u"Close Help"_qs, this);
    m_lblExitHelp->setObjectName(u"lblExitHelp"_qs);
    m_lblExitHelp->setBuddy(m_cmdExitHelp);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_cmdExitHelp);
    bottom->addWidget(m_lblExitHelp);
    bottom->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pages);
    layout->addWidget(m_rtfHelp, 1);
    layout->addLayout(bottom);
    resize(760, 600);

    for (int page = 0; page < kPages; ++page)
        connect(m_lblHelpPage[page], &ClickLabel::clicked, this, [this, page] { onHelpPageClicked(page); });
    connect(m_cmdExitHelp, &QPushButton::clicked, this, &HelpWindow::onExitHelpClicked);

    loadValues();
}

QString HelpWindow::pageDocument(int page)
{
    return resourceFile(text(kPageInfo.at(static_cast<size_t>(page)).document));
}

void HelpWindow::loadValues()
{
    onHelpPageClicked(0);
}

void HelpWindow::onHelpPageClicked(int page)
{
    if (page < 0 || page >= kPages)
        return;
    // A missing or unreadable document leaves an empty page; the window stays as usable as ever.
    loadRichTextFile(m_rtfHelp, pageDocument(page));
    m_current = page;
    for (int other = 0; other < kPages; ++other) {
        if (other == page)
            m_shapeHelpPage[other]->setFillColor(kMarkerOrange);
        else
            m_shapeHelpPage[other]->clearFill();
    }
    m_rtfHelp->setFocus(); // the arrow keys scroll the page just opened
}

void HelpWindow::onExitHelpClicked()
{
    close();
}

HelpWindow* showHelpWindow(QPointer<HelpWindow>& window, QWidget* owner)
{
    if (!window)
        window = new HelpWindow(owner);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace tradevane
