#include "TestSupport.h"
#include "widgets/OnNextModal.h"

#include "engine/settings/AlertSettingsFile.h"
#include "gui/MainWindow.h"
#include "gui/SplashWindow.h"
#include "gui/TermsWindow.h"
#include "platform/Version.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace tradevane;

namespace {

class StartUp : public ProgramTest
{
protected:
    const QStringList m_settingsFiles = [] {
        QStringList names;
        for (int n = 1; n <= 10; ++n)
            names << u"Aset"_qs + QString::number(n) + u".dat"_qs;
        return names << u"mailset.dat"_qs << u"timeset.dat"_qs << u"soundset.dat"_qs;
    }();

    // Starts up as the program does, accepting the terms if their window comes up.
    bool start()
    {
        OnNextModal accept([this](QWidget* modal) {
            if (auto* terms = qobject_cast<TermsWindow*>(modal)) {
                m_termsShown = true;
                m_mainWindowBeforeTerms = m_splash.mainWindow() != nullptr;
                terms->optAgreeToTerms->click();
                terms->cmdProceed->click();
            }
        });
        return m_splash.start();
    }

    SplashWindow m_splash {m_app};
    bool m_termsShown = false;
    bool m_mainWindowBeforeTerms = false;
};

TEST_F(StartUp, FirstRunCreatesEmptySettingsAsksForTermsThenShowsEmptyRows)
{
    ASSERT_TRUE(start());

    EXPECT_TRUE(m_termsShown);
    EXPECT_FALSE(m_mainWindowBeforeTerms);
    for (const QString& name : m_settingsFiles) {
        EXPECT_TRUE(QFile::exists(path(name))) << name.toStdString();
        EXPECT_EQ(readFile(name).size(), 0) << name.toStdString();
    }
    EXPECT_EQ(readFile(u"frs.dat"_qs), QByteArray(1, '\1'));
    EXPECT_TRUE(m_boxes.shown().isEmpty());

    // The hand-over waits for the timer, which runs once the window is up.
    EXPECT_TRUE(m_splash.isVisible());
    EXPECT_TRUE(m_splash.timerSplash->isActive());
    EXPECT_EQ(m_splash.mainWindow(), nullptr);
    m_splash.onSplashTimer();
    MainWindow* main = m_splash.mainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(m_splash.isVisible());
    for (int n = 1; n <= 10; ++n) {
        EXPECT_TRUE(main->lblSymbol[n]->text().trimmed().isEmpty());
        EXPECT_TRUE(main->lblPrice[n]->text().isEmpty());
        EXPECT_TRUE(main->lblVolume[n]->text().isEmpty());
        EXPECT_EQ(m_app.settings.alert(StockIndex::fromNumber(n)).watch, Watch::Off);
    }
}

TEST_F(StartUp, AcceptedTermsAreNotAskedAgainAndStoredSymbolsAppear)
{
    writeFile(u"frs.dat"_qs, QByteArray(1, '\1'));
    AlertSettings ibm;
    ibm.watch = Watch::On;
    ibm.symbol = u"IBM"_qs;
    writeFile(u"Aset3.dat"_qs, encodeRecord(ibm));

    ASSERT_TRUE(start());
    m_splash.onSplashTimer();

    EXPECT_FALSE(m_termsShown);
    ASSERT_NE(m_splash.mainWindow(), nullptr);
    EXPECT_EQ(m_splash.mainWindow()->lblSymbol[3]->text(), u"IBM"_qs);
    EXPECT_EQ(m_app.settings.alert(StockIndex::fromNumber(3)).watch, Watch::On);
    EXPECT_TRUE(m_splash.mainWindow()->lblSymbol[2]->text().trimmed().isEmpty());
}

// An unreadable settings file: the message box names it, and the main window still opens with
// what was loaded before it.
TEST_F(StartUp, UnreadableSettingsAreReportedButTheMainWindowOpens)
{
    AlertSettings ko;
    ko.symbol = u"KO"_qs;
    writeFile(u"Aset10.dat"_qs, encodeRecord(ko));
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(u"mailset.dat"_qs));
    ASSERT_TRUE(start());
    EXPECT_TRUE(oneFileErrorBox(m_boxes.shown(), u"Initialize Error"_qs,
        {u"Error Location:Email Settings"_qs, u"Exit the program and restart."_qs,
            u"If the problem persists, see the Tradevane support page: "_qs + kSupportPage}));
    EXPECT_FALSE(m_termsShown);

    m_splash.onSplashTimer();
    ASSERT_NE(m_splash.mainWindow(), nullptr);
    EXPECT_TRUE(m_splash.mainWindow()->isVisible());
    EXPECT_EQ(m_splash.mainWindow()->lblSymbol[10]->text(), u"KO"_qs);
}

TEST_F(StartUp, RefusedTermsEndTheProgramBeforeAnythingIsShown)
{
    OnNextModal refuse([](QWidget* modal) {
        ASSERT_NE(qobject_cast<TermsWindow*>(modal), nullptr);
        static_cast<TermsWindow*>(modal)->cmdCancel->click();
    });
    EXPECT_FALSE(m_splash.start());
    EXPECT_TRUE(refuse.done());
    EXPECT_EQ(m_endRequests, 1);
    EXPECT_FALSE(m_splash.isVisible());
    EXPECT_EQ(m_splash.mainWindow(), nullptr);
    EXPECT_EQ(readFile(u"frs.dat"_qs), QByteArray());
}

TEST_F(StartUp, TheSplashTimerHandsOverOnItsOwn)
{
    writeFile(u"frs.dat"_qs, QByteArray(1, '\1'));
    m_splash.loadValues();
    EXPECT_FALSE(m_splash.timerSplash->isActive()); // not before the window is up
    m_splash.timerSplash->setInterval(20);
    ASSERT_TRUE(m_splash.start());
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_splash.mainWindow() != nullptr; }, 3000));
    EXPECT_FALSE(m_splash.isVisible());
}

} // namespace
