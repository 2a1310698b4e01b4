#include "TestSupport.h"

#include "core/LogTexts.h"
#include "notify/PlayWAV.h"
#include "notify/SoundSettingsFile.h"
#include "notify/frmSounds.h"
#include "platform/Deferred.h"
#include "platform/RecordFile.h"
#include "platform/WaveFile.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr qint16 On = kStoredTrue;

// Sound choice and playing, on a device that records what it was asked to play and ends each
// sound with `outcome` from the event loop (or, while `holding`, only when told to).
class Sounds : public ProgramTest
{
protected:
    std::unique_ptr<Pending> device(const QString& path, std::function<void(SoundOutcome)> done)
    {
        played.append(QDir(folder.path()).relativeFilePath(path));
        if (holding) {
            release = [done, o = outcome] { done(o); };
            return std::make_unique<Deferred>([] {}); // reports nothing itself
        }
        return std::make_unique<Deferred>([done, o = outcome] { done(o); });
    }

    // Plays `name` and runs until it has ended.
    void play(const QString& name, int number = 11)
    {
        bool ended = false;
        const auto sound = player.PlayWavFile(name, app.log, number, [&] { ended = true; });
        ASSERT_TRUE(RunUntil([&] { return ended; }));
    }

    QStringList played;
    SoundOutcome outcome = SoundOutcome::Played;
    bool holding = false;
    std::function<void()> release;
    SoundPlayer player {[this](const QString& path, auto done) { return device(path, std::move(done)); }};
};

TEST_F(Sounds, LastChosenSoundWinsAndNothingPlaysWhenSoundsAreOff)
{
    // The fourth has sounds on without a choice: the path of an empty name, which plays the
    // default sound. The last has sounds off.
    const SoundSettings settings[] = {{On, On, 0, On, 0, 0}, {On, On, On, On, On, On}, {On, 0, On, 0, 0, 0},
        {On, 0, 0, 0, 0, 0}, {0, On, 0, 0, 0, 0}};
    for (const SoundSettings& choice : settings) {
        bool ended = false;
        const auto sound = player.PlayAlertSound(choice, app.log, 11, [&] { ended = true; });
        ASSERT_TRUE(RunUntil([&] { return ended; }));
    }
    EXPECT_EQ(played, QStringList({u"Attn.wav"_qs, u"Chimes.wav"_qs, u"voice_alert.wav"_qs, u".wav"_qs}));
    EXPECT_TRUE(app.log.pending().isEmpty());
}

TEST_F(Sounds, OnlyAFailureIsNoted)
{
    outcome = SoundOutcome::DefaultSound; // a missing file is no failure
    play(u"missing"_qs);
    EXPECT_FALSE(QFile::exists(path(u"activlog.dat"_qs)));

    outcome = SoundOutcome::Failed;
    play(u"siren"_qs);
    const QByteArray note = "Sound Error - Location WAV module\r\n" + QByteArray(36, '=') + "\r\n\r\n";
    EXPECT_EQ(readFile(u"activlog.dat"_qs), note);
}

TEST_F(Sounds, ASecondSoundWhileOneIsPlayingIsDropped)
{
    holding = true;
    bool firstEnded = false;
    const auto first = player.PlayWavFile(u"siren"_qs, app.log, 11, [&] { firstEnded = true; });
    EXPECT_TRUE(player.playing());
    bool secondEnded = false;
    const auto second = player.PlayWavFile(u"Chimes"_qs, app.log, 11, [&] { secondEnded = true; });
    ASSERT_TRUE(RunUntil([&] { return secondEnded; })); // dropped, and said so
    EXPECT_EQ(played, QStringList({u"siren.wav"_qs}));
    EXPECT_FALSE(firstEnded);

    release();
    EXPECT_TRUE(firstEnded);
    EXPECT_FALSE(player.playing());
    holding = false;
    play(u"Beep3"_qs);
    EXPECT_EQ(played, QStringList({u"siren.wav"_qs, u"Beep3.wav"_qs}));
}

TEST_F(Sounds, WindowShowsTheStoredChoiceAndSavesOnEnableClickAndClose)
{
    app.settings.sound = {On, On, 0, 0, On, 0}; // two choices: the later one shows
    auto* window = new frmSounds(app.settings, player, app.log, 1);
    window->show();
    EXPECT_TRUE(window->findChild<QRadioButton*>(u"opt3BeepsSound"_qs)->isChecked());
    EXPECT_FALSE(window->optSiren->isChecked());
    EXPECT_TRUE(window->chkEnableSounds->isChecked());

    // A changed choice is heard before it is saved.
    window->optChimesSound->click();
    window->cmdTestWav->click();
    EXPECT_EQ(played, QStringList({u"Chimes.wav"_qs}));
    EXPECT_FALSE(QFile::exists(path(u"soundset.dat"_qs)));
    ASSERT_TRUE(RunUntil([&] { return !player.playing(); }));

    window->chkEnableSounds->click(); // off, saved at once
    EXPECT_EQ(readFile(u"soundset.dat"_qs), FromHex("0000 0000 0000 0000 0000 FFFF"));
    window->cmdTestWav->click(); // sounds off: nothing
    EXPECT_EQ(played.size(), 1);

    window->chkEnableSounds->click();
    window->optSiren->click();
    window->cmdClose->click();
    EXPECT_EQ(readFile(u"soundset.dat"_qs), FromHex("FFFF FFFF 0000 0000 0000 0000"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(Sounds, OneSoundsWindowAndAnUnwritableFileKeepsItUsable)
{
    frmSounds* first = frmSounds::ShowSounds(app.settings, player, app.log, 1);
    EXPECT_EQ(frmSounds::ShowSounds(app.settings, player, app.log, 1), first);

    QDir(folder.path()).mkdir(u"soundset.dat"_qs); // a folder where the file should be
    first->optFemVoice->click();
    first->cmdClose->click();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].title, u"File Write Error"_qs);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(u"FILE ERROR:"_qs));
    EXPECT_EQ(app.settings.sound.UseVoice, On); // in effect for this run
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmSounds* again = frmSounds::ShowSounds(app.settings, player, app.log, 1);
    ASSERT_NE(again, nullptr);
    again->close();
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
