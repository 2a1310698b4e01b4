#include "TestSupport.h"

#include "core/LogTexts.h"
#include "core/VarDef.h"
#include "notify/PlayWAV.h"
#include "notify/SoundSettingsFile.h"
#include "notify/frmSounds.h"
#include "platform/WaveFile.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

// Sound choice and playing, with a player that records what it was asked to play.
class Sounds : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        SetWavPlayer([this](const QString& path) {
            played.append(QDir(folder.path()).relativeFilePath(path));
            return outcome;
        });
    }

    QStringList played;
    SoundOutcome outcome = SoundOutcome::Played;
};

TEST_F(Sounds, LastChosenSoundWinsAndNothingPlaysWhenSoundsAreOff)
{
    // The fourth has sounds on without a choice: the path of an empty name, which plays the
    // default sound. The last has sounds off.
    const decltype(gSoundSettings) settings[]
        = {{vbTrue, vbTrue, 0, vbTrue, 0, 0}, {vbTrue, vbTrue, vbTrue, vbTrue, vbTrue, vbTrue},
            {vbTrue, 0, vbTrue, 0, 0, 0}, {vbTrue, 0, 0, 0, 0, 0}, {0, vbTrue, 0, 0, 0, 0}};
    for (const auto& choice : settings) {
        gSoundSettings = choice;
        PlayAlertSound();
    }
    EXPECT_EQ(played, QStringList({u"Attn.wav"_qs, u"Chimes.wav"_qs, u"voice_alert.wav"_qs, u".wav"_qs}));
    EXPECT_TRUE(strLogString.isEmpty());
}

TEST_F(Sounds, AFailureIsNotedAndMarksOnlyARealStock)
{
    outcome = SoundOutcome::DefaultSound; // a missing file is no failure
    StockID = 3;
    PlayWavFile(u"missing"_qs);
    EXPECT_FALSE(QFile::exists(path(u"activlog.dat"_qs)));
    EXPECT_EQ(gDownloadError[3], 0);

    outcome = SoundOutcome::Failed;
    PlayWavFile(u"siren"_qs);
    EXPECT_EQ(gDownloadError[3], vbTrue);
    const QByteArray note = "Sound Error - Location WAV module\r\n" + QByteArray(36, '=') + "\r\n\r\n";
    EXPECT_EQ(readFile(u"activlog.dat"_qs), note);

    // After the stock loops StockID is 11: no stock is marked.
    gDownloadError.fill(0);
    StockID = 11;
    PlayWavFile(u"siren"_qs);
    EXPECT_EQ(std::count(gDownloadError.begin(), gDownloadError.end(), vbTrue), 0);
    EXPECT_EQ(readFile(u"activlog.dat"_qs), note + note);
}

TEST_F(Sounds, ASecondSoundWhileOneIsPlayingIsDropped)
{
    // The real player lets window events run while it waits; a Test Sound click then arrives.
    SetWavPlayer([this](const QString& path) {
        played.append(QFileInfo(path).fileName());
        PlayWavFile(u"Chimes"_qs);
        return SoundOutcome::Played;
    });
    PlayWavFile(u"siren"_qs);
    EXPECT_EQ(played, QStringList({u"siren.wav"_qs}));
    PlayWavFile(u"Beep3"_qs);
    EXPECT_EQ(played, QStringList({u"siren.wav"_qs, u"Beep3.wav"_qs}));
}

TEST_F(Sounds, WindowShowsTheStoredChoiceAndSavesOnEnableClickAndClose)
{
    gSoundSettings = {vbTrue, vbTrue, 0, 0, vbTrue, 0}; // two choices: the later one shows
    auto* window = new frmSounds;
    window->show();
    EXPECT_EQ(window->windowTitle(), u"Sounds"_qs);
    EXPECT_TRUE(window->findChild<QRadioButton*>(u"opt3BeepsSound"_qs)->isChecked());
    EXPECT_FALSE(window->optSiren->isChecked());
    EXPECT_TRUE(window->chkEnableSounds->isChecked());
    EXPECT_EQ(window->cmdTestWav->text(), u"Test Sound"_qs);
    EXPECT_EQ(window->cmdClose->text(), u"Close Settings"_qs);

    // A changed choice is heard before it is saved.
    window->optChimesSound->click();
    window->cmdTestWav->click();
    EXPECT_EQ(played, QStringList({u"Chimes.wav"_qs}));
    EXPECT_FALSE(QFile::exists(path(u"soundset.dat"_qs)));

    window->chkEnableSounds->click(); // off, saved at once
    EXPECT_EQ(readFile(u"soundset.dat"_qs), FromHex("0000 0000 0000 0000 0000 FFFF"));
    window->cmdTestWav->click(); // sounds off: nothing
    EXPECT_EQ(played.size(), 1);

    window->chkEnableSounds->click();
    window->optSiren->click();
    window->cmdClose->click();
    EXPECT_EQ(readFile(u"soundset.dat"_qs), FromHex("FFFF FFFF 0000 0000 0000 0000"));
    EXPECT_EQ(readFile(u"soundset.dat"_qs).size(), 12);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(Sounds, OneSoundsWindowAndAnUnwritableFileKeepsItUsable)
{
    frmSounds* first = frmSounds::ShowSounds();
    EXPECT_EQ(frmSounds::ShowSounds(), first);

    QDir(folder.path()).mkdir(u"soundset.dat"_qs); // a folder where the file should be
    first->optFemVoice->click();
    first->cmdClose->click();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].title, u"File Write Error"_qs);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(u"FILE ERROR:"_qs));
    EXPECT_EQ(gSoundSettings.UseVoice, vbTrue); // in effect for this run
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_NE(frmSounds::ShowSounds(), nullptr);
    frmSounds::ShowSounds()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(WaveFile, ReadsTheShippedSoundsAndRefusesWhatItCannotPlay)
{
    for (const char* name : {"siren", "voice_alert", "Attn", "Beep3", "Chimes"}) {
        QFile file(QStringLiteral(TRADEVANE_SOURCE_DIR "/resources/") + QLatin1String(name) + u".wav"_qs);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        QString error;
        const auto wave = ReadWave(file.readAll(), &error);
        ASSERT_TRUE(wave) << name << ": " << error.toStdString();
        EXPECT_EQ(wave->channels, 1);
        EXPECT_EQ(wave->bitsPerSample, 16);
        EXPECT_GT(wave->durationMs(), 400) << name;
        EXPECT_LT(wave->durationMs(), 2500) << name;
        EXPECT_LT(file.size(), 64 * 1024) << name;
    }

    QString error;
    EXPECT_FALSE(ReadWave("", &error));
    EXPECT_FALSE(ReadWave("RIFF\x10\0\0\0WAVEjunk", &error));
    // 24-bit samples: a valid file this player does not take.
    QByteArray pcm24 = FromHex("52494646 30000000 57415645 666d7420 10000000 0100 0100 44ac0000 "
                               "88580100 0300 1800 64617461 06000000 000000000000");
    EXPECT_FALSE(ReadWave(pcm24, &error));
    EXPECT_TRUE(error.contains(u"24"_qs));
    // A data chunk that claims more than the file holds plays what is there.
    QByteArray cut = FromHex("52494646 ffffffff 57415645 666d7420 10000000 0100 0100 44ac0000 "
                             "88580100 0200 1000 64617461 ffffff00 01000200 03");
    const auto wave = ReadWave(cut, &error);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->samples.size(), 4);
}

} // namespace
