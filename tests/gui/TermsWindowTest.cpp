#include "TestSupport.h"

#include "engine/settings/TermsFile.h"
#include "gui/TermsWindow.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

using namespace tradevane;

namespace {

using TermsWindowTest = ProgramTest;

TEST_F(TermsWindowTest, OpensOnTheLicenceWithProceedDisabledUntilAccepted)
{
    copyResource(u"licence.doc"_qs);
    TermsWindow terms;
    EXPECT_TRUE(terms.rtbTerms->toPlainText().contains(u"Tradevane Freeware Licence"_qs));
    EXPECT_FALSE(terms.rtbTerms->toPlainText().contains(u"\\par"_qs));
    EXPECT_TRUE(terms.optNotAgreeTerms->isChecked());
    EXPECT_FALSE(terms.cmdProceed->isEnabled());

    terms.optAgreeToTerms->click();
    EXPECT_TRUE(terms.cmdProceed->isEnabled());
    terms.optNotAgreeTerms->click();
    EXPECT_FALSE(terms.cmdProceed->isEnabled());
}

TEST_F(TermsWindowTest, ProceedRecordsTheAcceptance)
{
    writeFile(u"frs.dat"_qs, QByteArray("\0xyz", 4));
    TermsWindow terms;
    EXPECT_TRUE(terms.rtbTerms->toPlainText().isEmpty()); // no licence.doc: empty, still usable
    terms.optAgreeToTerms->click();
    terms.cmdProceed->click();
    EXPECT_EQ(terms.result(), QDialog::Accepted);
    EXPECT_EQ(readFile(u"frs.dat"_qs), QByteArray("\1")); // the one-byte record alone
    bool accepted = false;
    EXPECT_TRUE(readTermsAccepted(accepted).ok());
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(m_boxes.shown().isEmpty());
    EXPECT_EQ(m_endRequests, 0);
}

TEST_F(TermsWindowTest, AnAcceptanceThatCannotBeStoredIsReportedAndStartUpGoesOn)
{
    QDir(m_folder.path()).mkdir(u"frs.dat"_qs);
    TermsWindow terms;
    terms.optAgreeToTerms->click();
    terms.cmdProceed->click();
    EXPECT_TRUE(oneFileErrorBox(m_boxes.shown(), u"File Read/Write Error"_qs,
        {u"Error Location:Licence Acceptance"_qs, u"Your acceptance of the licence could not be saved."_qs,
            u"The licence agreement will be shown again at the next start."_qs}));
    EXPECT_EQ(terms.result(), QDialog::Accepted);
    EXPECT_EQ(m_endRequests, 0);
}

TEST_F(TermsWindowTest, CancelOrClosingThanksTheUserAndEndsTheProgram)
{
    {
        TermsWindow terms;
        terms.cmdCancel->click();
        ASSERT_EQ(m_boxes.shown().size(), 1);
        EXPECT_EQ(m_boxes.shown()[0].title, u"Thank you"_qs);
        EXPECT_EQ(m_boxes.shown()[0].buttons, MsgButtons::OkOnly);
        const QStringList lines = m_boxes.shown()[0].text.split(u"\r\n"_qs);
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(lines[1], u"If you do not accept the licence agreement, please"_qs);
        EXPECT_EQ(lines[2], u"remove the software from this computer."_qs);
        EXPECT_EQ(m_endRequests, 1);
        EXPECT_EQ(terms.result(), QDialog::Rejected);
    }
    {
        TermsWindow terms;
        terms.show();
        terms.close();
        EXPECT_EQ(m_endRequests, 2);
        EXPECT_EQ(m_boxes.shown().size(), 2);
    }
    EXPECT_FALSE(QFile::exists(path(u"frs.dat"_qs)));
}

} // namespace
