#include "platform/WaveFile.h"

#include <QtEndian>

namespace tradevane {

namespace {

quint32 le32(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 le16(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

constexpr quint16 kPcm = 1;
constexpr quint16 kFloat = 3;
constexpr quint16 kExtensible = 0xFFFE;

} // namespace

qint64 WaveData::durationMs() const
{
    const qint64 frameBytes = qint64(channels) * (bitsPerSample / 8);
    if (frameBytes <= 0 || sampleRate <= 0)
        return 0;
    return samples.size() / frameBytes * 1000 / sampleRate;
}

std::optional<WaveData> readWave(const QByteArray& bytes, QString* error)
{
    auto fail = [error](const QString& why) -> std::optional<WaveData> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return fail(u"not a RIFF wave file"_qs);

    WaveData wave;
    quint16 format = 0;
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype size = le32(bytes, at + 4);
        const qsizetype body = at + 8;
        // A chunk may claim more than the file holds (a recording cut short): take what is there.
        const qsizetype available = std::min(size, bytes.size() - body);
        if (id == "fmt ") {
            if (available < 16)
                return fail(u"format chunk too short"_qs);
            format = le16(bytes, body);
            wave.channels = le16(bytes, body + 2);
            wave.sampleRate = static_cast<int>(le32(bytes, body + 4));
            wave.bitsPerSample = le16(bytes, body + 14);
            if (format == kExtensible && available >= 26)
                format = le16(bytes, body + 24); // the sub-format's first two bytes
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return fail(u"samples before the format chunk"_qs);
            wave.samples = bytes.mid(body, available);
            break;
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat)
        return fail(u"no format chunk"_qs);
    wave.isFloat = format == kFloat;
    const bool supported
        = (format == kPcm
              && (wave.bitsPerSample == 8 || wave.bitsPerSample == 16 || wave.bitsPerSample == 32))
        || (format == kFloat && wave.bitsPerSample == 32);
    if (!supported)
        return fail(u"unsupported sample format "_qs + QString::number(format) + u'/'
            + QString::number(wave.bitsPerSample));
    if (wave.channels < 1 || wave.channels > 8 || wave.sampleRate < 1000 || wave.sampleRate > 384000)
        return fail(u"unsupported channel count or sample rate"_qs);
    if (wave.samples.isEmpty())
        return fail(u"no samples"_qs);
    const qsizetype frameBytes = qsizetype(wave.channels) * (wave.bitsPerSample / 8);
    wave.samples.truncate(wave.samples.size() - wave.samples.size() % frameBytes);
    return wave;
}

} // namespace tradevane
