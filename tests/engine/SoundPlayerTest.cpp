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
    decodeRecord(fromHex("FFFF FFFF 0000 FFFF 0000 0000"), severalMarked);
    const SoundSettings settings[] = {severalMarked, {true, AlertSound::Chimes}, {true, AlertSound::Voice},
        {true, AlertSound::None}, {false, AlertSound::Siren}};
    for (const SoundSettings& choice : settings) {
        bool ended = false;
        const auto sound = m_player.playAlertSound(choice, m_app.log, 11, [&] { ended = true; });
        ASSERT_TRUE(runUntil([&] { return ended; }));
    }
    EXPECT_EQ(m_played, QStringList({u"Attn.wav"_qs, u"Chimes.wav"_qs, u"voice_alert.wav"_qs, u".wav"_qs}));
    EXPECT_TRUE(m_app.log.pending().isEmpty());
}

TEST_F(Sounds, OnlyAFailureIsNoted)
{
    m_outcome = SoundOutcome::DefaultSound; // a missing file is no failure
    play(u"missing"_qs);
    EXPECT_FALSE(QFile::exists(path(u"activlog.dat"_qs)));

    m_outcome = SoundOutcome::Failed;
    play(u"siren"_qs);
    const QByteArray note = "Sound Error - Location WAV module\r\n" + QByteArray(36, '=') + "\r\n\r\n";
    EXPECT_EQ(readFile(u"activlog.dat"_qs), note);
}

TEST_F(Sounds, ASecondSoundWhileOneIsPlayingIsDropped)
{
    m_holding = true;
    bool firstEnded = false;
    const auto first = m_player.playWavFile(u"siren"_qs, m_app.log, 11, [&] { firstEnded = true; });
    EXPECT_TRUE(m_player.playing());
    bool secondEnded = false;
    const auto second = m_player.playWavFile(u"Chimes"_qs, m_app.log, 11, [&] { secondEnded = true; });
    ASSERT_TRUE(runUntil([&] { return secondEnded; })); // dropped, and said so
    EXPECT_EQ(m_played, QStringList({u"siren.wav"_qs}));
    EXPECT_FALSE(firstEnded);

    m_release();
    EXPECT_TRUE(firstEnded);
    EXPECT_FALSE(m_player.playing());
    m_holding = false;
    play(u"Beep3"_qs);
    EXPECT_EQ(m_played, QStringList({u"siren.wav"_qs, u"Beep3.wav"_qs}));
}

} // namespace
