#include "TestSupport.h"
#include "widgets/OnNextModal.h"

#include "engine/log/LogTexts.h"
#include "engine/session/StartupLoad.h"
#include "engine/settings/AlertSettingsFile.h"
#include "gui/MainWindow.h"
#include "gui/SplashWindow.h"
#include "gui/TermsWindow.h"
#include "platform/ProgramFolder.h"
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

TEST_F(StartUp, EachSettingsFileNamesItsLocationAndLoadingStopsThere)
{
    const struct
    {
        const char16_t* file;
        const char16_t* location;
        const char16_t* notCreated; // a file after it in the loading order
    } cases[] = {{u"Aset7.dat", u"Alert Settings", u"Aset8.dat"},
        {u"mailset.dat", u"Email Settings", u"timeset.dat"},
        {u"timeset.dat", u"Time Settings", u"soundset.dat"}, {u"soundset.dat", u"Sound Settings", u"frs.dat"},
        {u"frs.dat", u"Licence Acceptance", nullptr}};
    for (const auto& c : cases) {
        QTemporaryDir dir;
        setProgramFolder(dir.path());
        ASSERT_TRUE(QDir(dir.path()).mkdir(QString::fromUtf16(c.file)));
        const StartupLoad load = loadSettingsFiles(m_app);
        EXPECT_FALSE(load.ok());
        EXPECT_EQ(load.location, QString::fromUtf16(c.location));
        if (c.notCreated) {
            EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(QString::fromUtf16(c.notCreated))));
        }
        EXPECT_TRUE(
            initializeErrorText(load).contains(u"Error Location:"_qs + QString::fromUtf16(c.location)));
    }
}

// A copied-in mailset.dat with a password and group or other bits is noted; one without a
// password, or an owner-only one, is not.
TEST_F(StartUp, AMailPasswordOthersCanReadIsNoted)
{
    QByteArray mail(846, ' ');
    mail.replace(0, 6, QByteArray::fromHex("000000000100"));
    const QString file = path(u"mailset.dat"_qs);
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    for (const bool password : {false, true}) {
        for (const bool shared : {false, true}) {
            mail.replace(56, 6, password ? "s3cret" : "      ");
            writeFile(u"mailset.dat"_qs, mail);
            ASSERT_TRUE(QFile::setPermissions(file, shared ? ownerOnly | QFile::ReadGroup : ownerOnly));
            writeFile(u"activlog.dat"_qs, {});
            EXPECT_TRUE(loadSettingsFiles(m_app).ok());
            EXPECT_EQ(log().contains(LogText::kMailPasswordExposed), password && shared)
                << password << shared;
        }
    }
}

TEST_F(StartUp, TheCalendarChoiceIsReadAndAMalformedFileSkipsHolidaysWithANote)
{
    ASSERT_TRUE(start());
    EXPECT_TRUE(m_app.settings.calendar.skipHolidays); // no calendar.ini: holidays are skipped
    EXPECT_FALSE(QFile::exists(path(u"calendar.ini"_qs)));

    writeFile(u"calendar.ini"_qs, "[calendar]\nSkipHolidays=0\n");
    loadSettingsFiles(m_app);
    EXPECT_FALSE(m_app.settings.calendar.skipHolidays);
    EXPECT_FALSE(log().contains(LogText::kCalendarSettingsDefault));

    writeFile(u"calendar.ini"_qs, "[calendar]\nSkipHolidays=no thanks\n");
    loadSettingsFiles(m_app);
    EXPECT_TRUE(m_app.settings.calendar.skipHolidays);
    EXPECT_TRUE(log().contains(LogText::kCalendarSettingsDefault + u"SkipHolidays=no thanks\r\n"_qs));
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
