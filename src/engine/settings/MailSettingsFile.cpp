#include "engine/settings/MailSettingsFile.h"

#include "platform/ProgramFolder.h"

namespace {
struct TextField
{
    QString MailSettings::*field;
    int width;
};

constexpr TextField kTextFields[] = {
    {&MailSettings::Server, 30},
    {&MailSettings::UserName, 20},
    {&MailSettings::Password, 20},
    {&MailSettings::MailFrom, 40},
    {&MailSettings::SendTo, 40},
    {&MailSettings::CopyTo, 40},
    {&MailSettings::Subject, 50},
    {&MailSettings::Spare1, 300},
    {&MailSettings::Spare2, 300},
};
} // namespace

QByteArray EncodeRecord(const MailSettings& s)
{
    RecordWriter w;
    w.int16(s.DisableEmail);
    w.int16(s.Reserved);
    w.int16(s.UsePassword);
    for (const TextField& f : kTextFields)
        w.text(s.*f.field, f.width);
    return w.bytes();
}

void DecodeRecord(const QByteArray& bytes, MailSettings& s)
{
    RecordReader r(bytes);
    s.DisableEmail = r.int16();
    s.Reserved = r.int16();
    s.UsePassword = r.int16();
    for (const TextField& f : kTextFields)
        s.*f.field = r.text(f.width);
}

QString MailSettingsPath()
{
    return ProgramFile(u"mailset.dat"_qs);
}

FileError ReadMailSettings(MailSettings& settings)
{
    return ReadRecordFile(MailSettingsPath(), kMailSettingsLength, settings);
}

FileError WriteMailSettings(const MailSettings& settings)
{
    return WriteRecordFile(MailSettingsPath(), settings, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
