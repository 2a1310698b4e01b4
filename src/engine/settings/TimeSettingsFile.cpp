#include "engine/settings/TimeSettingsFile.h"

#include "platform/ProgramFolder.h"

QByteArray EncodeRecord(const TimeSettings& s)
{
    RecordWriter w;
    for (qint16 v : {s.StartHour, s.StartMinute, s.QuoteStartHour, s.QuoteStartMinute, s.StopHour,
             s.StopMinute, s.QuoteInterval})
        w.int16(v);
    return w.bytes();
}

void DecodeRecord(const QByteArray& bytes, TimeSettings& s)
{
    RecordReader r(bytes);
    for (qint16* v : {&s.StartHour, &s.StartMinute, &s.QuoteStartHour, &s.QuoteStartMinute, &s.StopHour,
             &s.StopMinute, &s.QuoteInterval})
        *v = r.int16();
}

QString TimeSettingsPath()
{
    return ProgramFile(u"timeset.dat"_qs);
}

FileError ReadTimeSettings(TimeSettings& settings)
{
    return ReadRecordFile(TimeSettingsPath(), kTimeSettingsLength, settings);
}

FileError WriteTimeSettings(const TimeSettings& settings)
{
    return WriteRecordFile(TimeSettingsPath(), settings);
}
