#include "engine/settings/TimeSettingsFile.h"

#include "platform/ProgramFolder.h"

namespace tradevane {

namespace {

// The fields in record order.
constexpr int TimeSettings::*kFields[] = {&TimeSettings::startHour, &TimeSettings::startMinute,
    &TimeSettings::quoteStartHour, &TimeSettings::quoteStartMinute, &TimeSettings::stopHour,
    &TimeSettings::stopMinute, &TimeSettings::quoteInterval};

} // namespace

QByteArray EncodeRecord(const TimeSettings& s)
{
    RecordWriter w;
    for (int TimeSettings::*field : kFields)
        w.int16(static_cast<qint16>(s.*field));
    return w.bytes();
}

void DecodeRecord(const QByteArray& bytes, TimeSettings& s)
{
    RecordReader r(bytes);
    for (int TimeSettings::*field : kFields)
        s.*field = r.int16();
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

} // namespace tradevane
