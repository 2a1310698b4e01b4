#include "engine/settings/MailSettingsFile.h"

#include "platform/ProgramFolder.h"

namespace tradevane {

namespace {

struct TextField
{
    QString MailSettings::*field;
    int width;
};

constexpr TextField kTextFields[] = {
    {&MailSettings::server, 30},
    {&MailSettings::userName, 20},
    {&MailSettings::password, 20},
    {&MailSettings::mailFrom, 40},
    {&MailSettings::sendTo, 40},
    {&MailSettings::copyTo, 40},
    {&MailSettings::subject, 50},
};
// Two texts of 300 characters the program does not use: written as spaces.
constexpr int kSpareWidth = 300;

QString withoutPadding(QString text)
{
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

} // namespace

// DisableEmail, Reserved, UsePassword as 16-bit integers (the switches 1 for on), then the texts
// Server, UserName, Password, MailFrom, SendTo, CopyTo, Subject, Spare1 and Spare2, padded with
// spaces. DisableEmail counts as on whenever it is not 0. A password kept in the keyring is written
// blank.
QByteArray encodeRecord(const MailSettings& s)
{
    RecordWriter w;
    w.int16(s.disableEmail ? 1 : 0);
    w.int16(static_cast<qint16>(s.reserved));
    w.int16(s.usePassword ? 1 : 0);
    for (const TextField& f : kTextFields)
        w.text(f.field == &MailSettings::password && s.passwordInKeyring ? QString() : s.*f.field, f.width);
    w.text({}, kSpareWidth);
    w.text({}, kSpareWidth);
    return w.bytes();
}

void decodeRecord(const QByteArray& bytes, MailSettings& s)
{
    RecordReader r(bytes);
    const qint16 disable = r.int16();
    s.reserved = r.int16();
    const qint16 usePassword = r.int16();
    s.disableEmail = disable != 0;
    s.usePassword = usePassword == 1;
    const auto clear = [](qint16 value) { return value == 0 || value == 1; };
    s.switchesClear = clear(disable) && clear(usePassword);
    for (const TextField& f : kTextFields)
        s.*f.field = withoutPadding(r.text(f.width));
    // Only a field of padding alone: any other byte is kept as stored.
    s.passwordInKeyring = s.usePassword && s.password.isEmpty();
    s.passwordUnread = s.passwordInKeyring;
}

QString mailSettingsPath()
{
    return programFile(u"mailset.dat"_qs);
}

FileError readMailSettings(MailSettings& settings)
{
    return readRecordFile(mailSettingsPath(), kMailSettingsLength, settings);
}

FileError writeMailSettings(const MailSettings& settings)
{
    return writeRecordFile(mailSettingsPath(), settings);
}

} // namespace tradevane
