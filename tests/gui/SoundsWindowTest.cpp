#include "SoundFixture.h"

#include "gui/SoundsWindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QRadioButton>

using namespace tradevane;

namespace {

TEST_F(Sounds, WindowShowsTheStoredChoiceAndSavesOnEnableClickAndClose)
{
    m_app.settings.sound = {true, AlertSound::ThreeBeeps};
    auto* window = new SoundsWindow(m_app.settings, m_player, m_app.log, 1);
    window->show();
    EXPECT_TRUE(window->findChild<QRadioButton*>(u"opt3BeepsSound"_qs)->isChecked());
    EXPECT_FALSE(window->optSiren->isChecked());
    EXPECT_TRUE(window->chkEnableSounds->isChecked());

    // A changed choice is heard before it is saved.
    window->optChimesSound->click();
    window->cmdTestWav->click();
    EXPECT_EQ(m_played, QStringList({u"Chimes.wav"_qs}));
    EXPECT_FALSE(QFile::exists(path(u"soundset.dat"_qs)));
    ASSERT_TRUE(runUntil([&] { return !m_player.playing(); }));

    window->chkEnableSounds->click(); // off, saved at once
    EXPECT_EQ(readFile(u"soundset.dat"_qs), fromHex("0000 0000 0000 0000 0000 FFFF"));
    window->cmdTestWav->click(); // sounds off: nothing
    EXPECT_EQ(m_played.size(), 1);

    window->chkEnableSounds->click();
    window->optSiren->click();
    window->cmdClose->click();
    EXPECT_EQ(readFile(u"soundset.dat"_qs), fromHex("FFFF FFFF 0000 0000 0000 0000"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(Sounds, OneSoundsWindowAndAnUnwritableFileKeepsItUsable)
{
    QPointer<SoundsWindow> kept;
    SoundsWindow* first = SoundsWindow::showSounds(kept, m_app.settings, m_player, m_app.log, 1);
    EXPECT_EQ(SoundsWindow::showSounds(kept, m_app.settings, m_player, m_app.log, 1), first);

    QDir(m_folder.path()).mkdir(u"soundset.dat"_qs); // a folder where the file should be
    first->optFemVoice->click();
    first->cmdClose->click();
    ASSERT_EQ(m_boxes.shown().size(), 1);
    EXPECT_EQ(m_boxes.shown()[0].title, u"File Write Error"_qs);
    EXPECT_TRUE(m_boxes.shown()[0].text.startsWith(u"FILE ERROR:"_qs));
    EXPECT_EQ(m_app.settings.sound.sound, AlertSound::Voice); // in effect for this run
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SoundsWindow* again = SoundsWindow::showSounds(kept, m_app.settings, m_player, m_app.log, 1);
    ASSERT_NE(again, nullptr);
    again->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
