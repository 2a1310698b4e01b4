#include "TestSupport.h"

#include "alertsettings/AlertSettingsFile.h"

#include <QFile>

namespace {

const char* kWorkedExample = "FF FF 00 41 42 43 20 20 20 20 01 00 01 00 01 00"
                             " 05 00 0A 00 0A 00 1E 00 32 00 C8 00 01 01 14 00 14 00"
                             " 00 00 0A 00 00 00 00 00 00 00"
                             " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 01 00";

using AlertSettingsFile = ProgramTest;

TEST_F(AlertSettingsFile, DefaultsWithSymbolAbcGiveTheWorkedExample)
{
    AlertSettings& s = gAlertSettings[1];
    ApplyDefaultAlertSettings(s);
    s.Enabled = vbTrue;
    s.Symbol = u"ABC"_qs;
    ASSERT_TRUE(WriteAlertSettings(1).ok());
    EXPECT_EQ(readFile(u"Aset1.dat"_qs), FromHex(kWorkedExample));

    gAlertSettings[1] = {};
    ASSERT_TRUE(ReadAlertSettings(1).ok());
    EXPECT_EQ(gAlertSettings[1].Symbol, u"ABC    "_qs);
    EXPECT_EQ(gAlertSettings[1].LongMASlow, 200);
    EXPECT_EQ(EncodeRecord(gAlertSettings[1]), FromHex(kWorkedExample));
}

TEST_F(AlertSettingsFile, ShortOrMissingFileReadsAsZerosAndIsCreated)
{
    writeFile(u"Aset2.dat"_qs, FromHex("FF FF 01 49 42 4D"));
    ASSERT_TRUE(ReadAlertSettings(2).ok());
    EXPECT_EQ(gAlertSettings[2].Enabled, vbTrue);
    EXPECT_EQ(gAlertSettings[2].RepeatAlerts, 1);
    EXPECT_EQ(gAlertSettings[2].Symbol, u"IBM    "_qs); // the missing bytes read as zeros, shown as blanks
    EXPECT_EQ(gAlertSettings[2].MaxPrice, 0.0);
    EXPECT_EQ(gAlertSettings[2].Reserved, 0);

    ASSERT_TRUE(ReadAlertSettings(10).ok());
    EXPECT_TRUE(QFile::exists(path(u"Aset10.dat"_qs)));
    EXPECT_FALSE(QFile::exists(path(u"Aset010.dat"_qs)));
    EXPECT_EQ(readFile(u"Aset10.dat"_qs).size(), 0);
    EXPECT_EQ(gAlertSettings[10].Symbol.trimmed(), QString());
}

TEST_F(AlertSettingsFile, ReservedByteAndFloatsSurviveARoundTrip)
{
    QByteArray bytes = FromHex(kWorkedExample);
    bytes[61] = char(0x5A);
    bytes[42] = 1; // price above on, 1234.5
    const double price = 1234.5;
    bytes.replace(44, 8, QByteArray::fromHex("00000000004a9340"));
    writeFile(u"Aset3.dat"_qs, bytes);
    ASSERT_TRUE(ReadAlertSettings(3).ok());
    EXPECT_EQ(gAlertSettings[3].MaxPrice, price);
    EXPECT_EQ(gAlertSettings[3].Reserved, 0x5A);
    ASSERT_TRUE(WriteAlertSettings(3).ok());
    EXPECT_EQ(readFile(u"Aset3.dat"_qs), bytes);
}

TEST_F(AlertSettingsFile, SymbolIsCutAndPaddedToSevenAndTheFileNotTruncated)
{
    writeFile(u"Aset4.dat"_qs, QByteArray(80, 'x'));
    gAlertSettings[4].Symbol = u"ABCDEFGHIJ"_qs;
    ASSERT_TRUE(WriteAlertSettings(4).ok());
    const QByteArray stored = readFile(u"Aset4.dat"_qs);
    EXPECT_EQ(stored.size(), 80); // record 1 rewritten in place
    EXPECT_EQ(stored.mid(3, 7), QByteArray("ABCDEFG"));
    EXPECT_EQ(stored.mid(62), QByteArray(18, 'x'));

    gAlertSettings[5].Symbol = u"GE"_qs;
    ASSERT_TRUE(WriteAlertSettings(5).ok());
    EXPECT_EQ(readFile(u"Aset5.dat"_qs).size(), kAlertSettingsLength);
    EXPECT_EQ(readFile(u"Aset5.dat"_qs).mid(3, 7), QByteArray("GE     "));
}

} // namespace
