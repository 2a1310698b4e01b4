#include "gui/TermsWindow.h"

#include "engine/settings/TermsFile.h"
#include "gui/FormControls.h"
#include "gui/Logo.h"
#include "gui/RichTextViewer.h"
#include "platform/MessageBox.h"
#include "platform/ProgramEnd.h"
#include "platform/ProgramFolder.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tradevane {

TermsWindow::TermsWindow(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(u"frmTerms"_qs);
    setWindowTitle(QString()); // the window has no caption text
    setModal(true);

    picLogo = new QLabel(this);
    picLogo->setObjectName(u"picLogo"_qs);
    picLogo->setAccessibleName(u"Tradevane logo"_qs);
    picLogo->setPixmap(programLogo(56));

    lblHeading = new QLabel(u"License Agreement"_qs, this);
    lblHeading->setObjectName(u"lblHeading"_qs);
    QFont heading = lblHeading->font();
    heading.setPointSize(heading.pointSize() + 5);
    heading.setBold(true);
    lblHeading->setFont(heading);

    auto* important = new QLabel(u"Please read this important information."_qs, this);
    important->setObjectName(u"lblImportant"_qs);
    QFont bold = important->font();
    bold.setBold(true);
    important->setFont(bold);

    auto* mustAgree
        = new QLabel(u"You must agree to the following terms and conditions prior to using this software. "
                     u"If you do not agree with this licence agreement, you must remove the software "
                     u"from your computer."_qs,
            this);
    mustAgree->setObjectName(u"lblMustAgree"_qs);
    mustAgree->setWordWrap(true);

    rtbTerms = new QTextEdit(this);
    rtbTerms->setObjectName(u"rtbTerms"_qs);
    rtbTerms->setAccessibleName(u"Licence terms"_qs);
    rtbTerms->setReadOnly(true);
    rtbTerms->setMinimumSize(520, 260);

    optAgreeToTerms = named<QRadioButton>(u"I accept the agreement"_qs, u"optAgreeToTerms"_qs, this);
    optNotAgreeTerms = named<QRadioButton>(u"I do not accept the agreement"_qs, u"optNotAgreeTerms"_qs, this);

    cmdProceed = named<QPushButton>(u"Proceed"_qs, u"cmdProceed"_qs, this);
    cmdProceed->setAutoDefault(false);
    cmdCancel = named<QPushButton>(u"Cancel"_qs, u"cmdCancel"_qs, this);
    cmdCancel->setAutoDefault(false);

    auto* head = new QGridLayout;
    head->addWidget(picLogo, 0, 0, 2, 1);
    head->addWidget(lblHeading, 0, 1);
    head->addWidget(important, 1, 1);
    head->setColumnStretch(1, 1);
    head->setHorizontalSpacing(14);

    auto* buttons = new QHBoxLayout;
    auto* options = new QVBoxLayout;
    options->addWidget(optAgreeToTerms);
    options->addWidget(optNotAgreeTerms);
    buttons->addLayout(options);
    buttons->addStretch();
    buttons->addWidget(cmdProceed);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(mustAgree);
    layout->addWidget(rtbTerms, 1);
    layout->addLayout(buttons);

    // Proceed follows the choice however it is made: click, arrow keys or an assistive tool.
    connect(optAgreeToTerms, &QRadioButton::toggled, cmdProceed, &QPushButton::setEnabled);
    connect(cmdProceed, &QPushButton::clicked, this, &TermsWindow::onProceedClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &TermsWindow::onCancelClicked);

    loadValues();
}

void TermsWindow::loadValues()
{
    loadRichTextFile(rtbTerms, resourceFile(u"licence.doc"_qs));
    optNotAgreeTerms->setChecked(true);
    cmdProceed->setEnabled(false);
}

void TermsWindow::onProceedClicked()
{
    // When the acceptance cannot be stored, start-up goes on all the same; the terms are shown
    // again at the next start.
    const FileError error = writeTermsAccepted();
    if (!error.ok()) {
        msgBox(fileErrorMessage(error,
                   {
                       u"Error Location:Licence Acceptance"_qs,
                       u"Your acceptance of the licence could not be saved."_qs,
                       u"The licence agreement will be shown again at the next start."_qs,
                   }),
            MsgButtons::OkOnly, u"File Read/Write Error"_qs);
    }
    accept();
}

void TermsWindow::onCancelClicked()
{
    msgBox(joinLines({
               u"Thank you for considering Tradevane."_qs,
               u"If you do not accept the licence agreement, please"_qs,
               u"remove the software from this computer."_qs,
           }),
        MsgButtons::OkOnly, u"Thank you"_qs);
    endProgram();
    QDialog::reject();
}

void TermsWindow::reject()
{
    onCancelClicked();
}

} // namespace tradevane
