#include "TestSupport.h"

#include "platform/WaveFile.h"

#include <QFile>

using namespace tradevane;

namespace {

TEST(WaveFile, ReadsTheShippedSoundsAndRefusesWhatItCannotPlay)
{
    for (const char* name : {"siren", "voice_alert", "Attn", "Beep3", "Chimes"}) {
        QFile file(QStringLiteral(TRADEVANE_SOURCE_DIR "/resources/") + QLatin1String(name) + u".wav"_qs);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        QString error;
        const auto wave = readWave(file.readAll(), &error);
        ASSERT_TRUE(wave) << name << ": " << error.toStdString();
        EXPECT_EQ(wave->channels, 1);
        EXPECT_EQ(wave->bitsPerSample, 16);
        EXPECT_GT(wave->durationMs(), 400) << name;
        EXPECT_LT(wave->durationMs(), 2500) << name;
        EXPECT_LT(file.size(), 64 * 1024) << name;
    }

    QString error;
    EXPECT_FALSE(readWave("", &error));
    EXPECT_FALSE(readWave("RIFF\x10\0\0\0WAVEjunk", &error));
    // 24-bit samples: a valid file this player does not take.
    QByteArray pcm24 = fromHex("52494646 30000000 57415645 666d7420 10000000 0100 0100 44ac0000 "
                               "88580100 0300 1800 64617461 06000000 000000000000");
    EXPECT_FALSE(readWave(pcm24, &error));
    EXPECT_TRUE(error.contains(u"24"_qs));
    // A data chunk that claims more than the file holds plays what is there.
    QByteArray cut = fromHex("52494646 ffffffff 57415645 666d7420 10000000 0100 0100 44ac0000 "
                             "88580100 0200 1000 64617461 ffffff00 01000200 03");
    const auto wave = readWave(cut, &error);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->samples.size(), 4);
}

} // namespace
