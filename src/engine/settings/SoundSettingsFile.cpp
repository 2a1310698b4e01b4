#include "engine/settings/SoundSettingsFile.h"

#include "platform/ProgramFolder.h"

QByteArray EncodeRecord(const SoundSettings& s)
{
    RecordWriter w;
    for (qint16 v : {s.SoundsEnabled, s.UseSiren, s.UseVoice, s.UseAttention, s.UseThreeBeeps, s.UseChimes})
        w.int16(v);
    return w.bytes();
}

void DecodeRecord(const QByteArray& bytes, SoundSettings& s)
{
    RecordReader r(bytes);
    for (qint16* v :
        {&s.SoundsEnabled, &s.UseSiren, &s.UseVoice, &s.UseAttention, &s.UseThreeBeeps, &s.UseChimes})
        *v = r.int16();
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
