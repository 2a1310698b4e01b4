#include "SoundFixture.h"

#include "engine/log/LogTexts.h"
#include "engine/notify/SoundPlayer.h"
#include "engine/settings/SoundSettingsFile.h"
#include "platform/RecordFile.h"

#include <QFile>

using namespace tradevane;

namespace {

TEST_F(Sounds, TheChosenSoundPlaysAndNothingWhenSoundsAreOff)
{
    // The fourth has sounds on without a choice: the path of an empty name, which plays the
    // default sound. The last has sounds off. Of several sounds marked in the file, the last counts.
    SoundSettings severalMarked;
    DecodeRecord(FromHex("FFFF FFFF 0000 FFFF 0000 0000"), severalMarked);
    const SoundSettings settings[] = {severalMarked, {true, AlertSound::Chimes}, {true, AlertSound::Voice},
        {true, AlertSound::None}, {false, AlertSound::Siren}};
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

} // namespace
