#include "engine/settings/TimeSettingsFile.h"

#include "platform/ProgramFolder.h"

namespace tradevane {

namespace {

// The fields in record order.
constexpr int TimeSettings::*kFields[] = {&TimeSettings::startHour, &TimeSettings::startMinute,
    &TimeSettings::quoteStartHour, &TimeSettings::quoteStartMinute, &TimeSettings::stopHour,
    &TimeSettings::stopMinute, &TimeSettings::quoteInterval};

} // namespace

QByteArray encodeRecord(const TimeSettings& s)
{
    RecordWriter w;
    for (int TimeSettings::*field : kFields)
        w.int16(static_cast<qint16>(s.*field));
    return w.bytes();
}

void decodeRecord(const QByteArray& bytes, TimeSettings& s)
{
    RecordReader r(bytes);
    for (int TimeSettings::*field : kFields)
        s.*field = r.int16();
}

QString timeSettingsPath()
{
    return programFile(u"timeset.dat"_qs);
}

FileError readTimeSettings(TimeSettings& settings)
{
    return readRecordFile(timeSettingsPath(), kTimeSettingsLength, settings);
}

FileError writeTimeSettings(const TimeSettings& settings)
{
    return writeRecordFile(timeSettingsPath(), settings);
}

} // namespace tradevane
