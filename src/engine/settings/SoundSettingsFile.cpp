#include "engine/settings/SoundSettingsFile.h"

#include "platform/ProgramFolder.h"

namespace tradevane {

namespace {

// The sounds in record order, after SoundsEnabled: UseSiren, UseVoice, UseAttention,
// UseThreeBeeps, UseChimes.
constexpr AlertSound kSounds[] = {
    AlertSound::Siren, AlertSound::Voice, AlertSound::Attention, AlertSound::ThreeBeeps, AlertSound::Chimes};

} // namespace

QByteArray EncodeRecord(const SoundSettings& s)
{
    RecordWriter w;
    w.int16(StoredFlag(s.soundsOn));
    for (const AlertSound sound : kSounds)
        w.int16(StoredFlag(s.sound == sound));
    return w.bytes();
}

void DecodeRecord(const QByteArray& bytes, SoundSettings& s)
{
    // Any value but 0 is on; of several sounds marked, the last counts.
    RecordReader r(bytes);
    s.soundsOn = IsSet(r.int16());
    s.sound = AlertSound::None;
    for (const AlertSound sound : kSounds) {
        if (IsSet(r.int16()))
            s.sound = sound;
    }
}

QString SoundSettingsPath()
{
    return ProgramFile(u"soundset.dat"_qs);
}

FileError ReadSoundSettings(SoundSettings& settings)
{
    return ReadRecordFile(SoundSettingsPath(), kSoundSettingsLength, settings);
}

FileError WriteSoundSettings(const SoundSettings& settings)
{
    return WriteRecordFile(SoundSettingsPath(), settings);
}

} // namespace tradevane
