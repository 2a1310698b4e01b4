#pragma once

#include <QString>

#include <array>
#include <cstdint>

// The records the program keeps and stores. The settings records hold their fields exactly as
// their files store them (flags as 16-bit -1/0 or 8-bit 1/0, texts padded to their width), so that
// a record read and written back is the same bytes; platform/RecordFile.h reads the flags.

constexpr int kStockCount = 10;
constexpr int kHistorySlots = 1701; // six per trading-day row: date, open, high, low, close, volume
constexpr int kAlertKinds = 15;

// What to watch for one stock (stored in Aset<n>.dat).
struct AlertSettings
{
    qint16 Enabled = 0;
    quint8 RepeatAlerts = 0;
    QString Symbol; // 7 characters as stored, padded with spaces
    quint8 MACond1 = 0;
    quint8 MACond2 = 0;
    quint8 MACond3 = 0;
    quint8 MACond4 = 0;
    quint8 MACond5 = 0;
    quint8 MACond6 = 0;
    qint16 ShortMAFast = 0;
    qint16 ShortMASlow = 0;
    qint16 MedMAFast = 0;
    qint16 MedMASlow = 0;
    qint16 LongMAFast = 0;
    qint16 LongMASlow = 0;
    quint8 HHAlert = 0;
    quint8 LLAlert = 0;
    qint16 HHDays = 0;
    qint16 LLDays = 0;
    quint8 ROCUp = 0;
    quint8 ROCDown = 0;
    qint16 ROCPlus = 0;
    qint16 ROCMinus = 0;
    quint8 Stoch80 = 0;
    quint8 Stoch20 = 0;
    quint8 PriceAbove = 0;
    quint8 PriceBelow = 0;
    double MaxPrice = 0.0;
    double MinPrice = 0.0;
    quint8 VolumeUp = 0;
    quint8 Reserved = 0;
};

// The latest delayed quote of a stock: nine texts exactly as received.
struct Quote
{
    QString Symbol;
    QString Last;
    QString Date;
    QString Time;
    QString Change;
    QString Open;
    QString High;
    QString Low;
    QString Volume;
};

using HistoryArray = std::array<QString, kHistorySlots>;

struct TimeSettings
{
    qint16 StartHour = 0;
    qint16 StartMinute = 0;
    qint16 QuoteStartHour = 0;
    qint16 QuoteStartMinute = 0;
    qint16 StopHour = 0;
    qint16 StopMinute = 0;
    qint16 QuoteInterval = 0; // minutes between quote sets, 1..30
};

struct MailSettings
{
    qint16 DisableEmail = 0; // 0 or 1
    qint16 Reserved = 0; // carried through unchanged
    qint16 UsePassword = 0; // 0 or 1
    QString Server; // 30
    QString UserName; // 20
    QString Password; // 20
    QString MailFrom; // 40
    QString SendTo; // 40
    QString CopyTo; // 40
    QString Subject; // 50
    QString Spare1; // 300
    QString Spare2; // 300
};

struct SoundSettings
{
    qint16 SoundsEnabled = 0;
    qint16 UseSiren = 0;
    qint16 UseVoice = 0;
    qint16 UseAttention = 0;
    qint16 UseThreeBeeps = 0;
    qint16 UseChimes = 0;
};

// The moving-average periods a stock starts with, and falls back to: short fast, short slow,
// medium fast, medium slow, long fast, long slow.
inline constexpr std::array<qint16, 6> kDefaultMovingAveragePeriods {5, 10, 10, 30, 50, 200};

// The range the alert settings accept for each moving-average period, in the order above.
struct PeriodRange
{
    qint16 low;
    qint16 high;
};
inline constexpr std::array<PeriodRange, 6> kMovingAveragePeriodRanges {
    {{3, 20}, {5, 25}, {10, 35}, {20, 50}, {40, 100}, {90, 200}}};

// Stores six periods, in the order above, in the record's period fields.
void SetMovingAveragePeriods(AlertSettings& settings, const std::array<qint16, 6>& periods);

// The six moving-average periods the alerts use: the stored ones when each fast one is below its
// slow one and all lie in their ranges, else the defaults.
std::array<qint16, 6> MovingAveragePeriods(const AlertSettings& settings);
