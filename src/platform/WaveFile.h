#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tradevane {

// The samples of a RIFF wave file: PCM of 8, 16 or 32 bits, or 32-bit float.
struct WaveData
{
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    bool isFloat = false;
    QByteArray samples; // whole frames only

    qint64 durationMs() const;
};

// Reads a wave file's bytes; nullopt with `error` set when they are not one we can play.
std::optional<WaveData> readWave(const QByteArray& bytes, QString* error);

} // namespace tradevane
