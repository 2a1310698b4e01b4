#include "engine/settings/SoundSettingsFile.h"

#include "platform/ProgramFolder.h"

namespace tradevane {

namespace {

// The sounds in record order, after SoundsEnabled: UseSiren, UseVoice, UseAttention,
// UseThreeBeeps, UseChimes.
constexpr AlertSound kSounds[] = {
    AlertSound::Siren, AlertSound::Voice, AlertSound::Attention, AlertSound::ThreeBeeps, AlertSound::Chimes};

} // namespace

QByteArray encodeRecord(const SoundSettings& s)
{
    RecordWriter w;
    w.int16(storedFlag(s.soundsOn));
    for (const AlertSound sound : kSounds)
        w.int16(storedFlag(s.sound == sound));
    return w.bytes();
}

void decodeRecord(const QByteArray& bytes, SoundSettings& s)
{
    // Any value but 0 is on; of several sounds marked, the last counts.
    RecordReader r(bytes);
    s.soundsOn = isSet(r.int16());
    s.sound = AlertSound::None;
    for (const AlertSound sound : kSounds) {
        if (isSet(r.int16()))
            s.sound = sound;
    }
}

QString soundSettingsPath()
{
    return programFile(u"soundset.dat"_qs);
}

FileError readSoundSettings(SoundSettings& settings)
{
    return readRecordFile(soundSettingsPath(), kSoundSettingsLength, settings);
}

FileError writeSoundSettings(const SoundSettings& settings)
{
    return writeRecordFile(soundSettingsPath(), settings);
}

} // namespace tradevane
