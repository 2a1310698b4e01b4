#include "TestSupport.h"

#include "engine/settings/AlertSettingsFile.h"
#include "engine/settings/SettingsStore.h"

#include <QFile>

using namespace tradevane;

namespace {

const char* kWorkedExample = "FF FF 00 41 42 43 20 20 20 20 01 00 01 00 01 00"
                             " 05 00 0A 00 0A 00 1E 00 32 00 C8 00 01 01 14 00 14 00"
                             " 00 00 0A 00 00 00 00 00 00 00"
                             " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 01 00";

class AlertSettingsFile : public ProgramTest
{
protected:
    static StockIndex stock(int number) { return StockIndex::fromNumber(number); }
    AlertSettings& settings(int number) { return m_app.settings.alert(stock(number)); }
    FileError read(int number) { return readAlertSettings(stock(number), settings(number)); }
    FileError write(int number) { return writeAlertSettings(stock(number), settings(number)); }
};

TEST_F(AlertSettingsFile, DefaultsWithSymbolAbcGiveTheWorkedExample)
{
    AlertSettings& s = settings(1);
    applyDefaultAlertSettings(s);
    s.watch = Watch::On;
    s.symbol = u"ABC"_qs;
    ASSERT_TRUE(write(1).ok());
    EXPECT_EQ(readFile(u"Aset1.dat"_qs), fromHex(kWorkedExample));

    settings(1) = {};
    ASSERT_TRUE(read(1).ok());
    EXPECT_EQ(settings(1).symbol, u"ABC"_qs);
    EXPECT_EQ(settings(1).averagePeriods, kDefaultAveragePeriods);
    EXPECT_EQ(encodeRecord(settings(1)), fromHex(kWorkedExample));
}

TEST_F(AlertSettingsFile, ShortOrMissingFileReadsAsZerosAndIsCreated)
{
    writeFile(u"Aset2.dat"_qs, fromHex("FF FF 01 49 42 4D"));
    ASSERT_TRUE(read(2).ok());
    EXPECT_EQ(settings(2).watch, Watch::On);
    EXPECT_TRUE(settings(2).repeatAlerts);
    EXPECT_EQ(settings(2).symbol, u"IBM"_qs); // the missing bytes read as zeros, shown as blanks
    EXPECT_EQ(settings(2).priceAbove, 0.0);
    EXPECT_EQ(settings(2).reserved, 0);

    ASSERT_TRUE(read(10).ok());
    EXPECT_TRUE(QFile::exists(path(u"Aset10.dat"_qs)));
    EXPECT_FALSE(QFile::exists(path(u"Aset010.dat"_qs)));
    EXPECT_EQ(readFile(u"Aset10.dat"_qs).size(), 0);
    EXPECT_EQ(settings(10).symbol, QString());
}

TEST_F(AlertSettingsFile, ReservedByteAndFloatsSurviveARoundTrip)
{
    QByteArray bytes = fromHex(kWorkedExample);
    bytes[61] = char(0x5A);
    bytes[42] = 1; // price above on, 1234.5
    const double price = 1234.5;
    bytes.replace(44, 8, QByteArray::fromHex("00000000004a9340"));
    writeFile(u"Aset3.dat"_qs, bytes);
    ASSERT_TRUE(read(3).ok());
    EXPECT_EQ(settings(3).priceAbove, price);
    EXPECT_EQ(settings(3).reserved, 0x5A);
    ASSERT_TRUE(write(3).ok());
    EXPECT_EQ(readFile(u"Aset3.dat"_qs), bytes);
}

// Switches and the watch flag mean what the monitoring has always read in them: a switch is on only
// as 1, repeat alerts whenever not 0, a stock watched only as -1. They are written back as the
// window writes them.
TEST(AlertSettingsRecord, SwitchesReadAsTheMonitoringReadsThem)
{
    QByteArray bytes = fromHex(kWorkedExample);
    bytes[0] = 1; // Enabled 1: neither on nor off
    bytes[1] = 0;
    bytes[2] = 7; // RepeatAlerts
    bytes[28] = 2; // HHAlert
    bytes[60] = char(0xFF); // VolumeUp
    AlertSettings s;
    decodeRecord(bytes, s);
    EXPECT_EQ(s.watch, Watch::Unclear);
    EXPECT_TRUE(s.repeatAlerts);
    EXPECT_FALSE(s.on(AlertKind::HighestHigh));
    EXPECT_TRUE(s.on(AlertKind::LowestLow));
    EXPECT_FALSE(s.on(AlertKind::VolumeSurge));
    const QByteArray written = encodeRecord(s);
    EXPECT_EQ(written.mid(0, 3), fromHex("01 00 01"));
    EXPECT_EQ(written[28], 0);
    EXPECT_EQ(written[60], 0);
    AlertSettings again;
    decodeRecord(written, again);
    EXPECT_EQ(again.watch, Watch::Unclear);
    EXPECT_EQ(encodeRecord(again), written);
}

TEST_F(AlertSettingsFile, SymbolIsCutAndPaddedToSevenAndTheFileIsTheRecord)
{
    writeFile(u"Aset4.dat"_qs, QByteArray(80, 'x'));
    settings(4).symbol = u"ABCDEFGHIJ"_qs;
    ASSERT_TRUE(write(4).ok());
    const QByteArray stored = readFile(u"Aset4.dat"_qs);
    EXPECT_EQ(stored.size(), kAlertSettingsLength); // what followed record 1 is not kept
    EXPECT_EQ(stored.mid(3, 7), QByteArray("ABCDEFG"));

    settings(5).symbol = u"GE"_qs;
    ASSERT_TRUE(write(5).ok());
    EXPECT_EQ(readFile(u"Aset5.dat"_qs).size(), kAlertSettingsLength);
    EXPECT_EQ(readFile(u"Aset5.dat"_qs).mid(3, 7), QByteArray("GE     "));
}

} // namespace
