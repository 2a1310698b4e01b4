#pragma once

#include <QString>

#include <array>
#include <cstdint>

// Program-wide state. Every per-stock array has the slots 0..10; slot 0 is never a stock.
// Booleans are 16-bit: -1 true, 0 false.

constexpr qint16 vbTrue = -1;
constexpr qint16 vbFalse = 0;
constexpr int kStockCount = 10;
constexpr int kHistorySlots = 1701; // six per trading-day row: date, open, high, low, close, volume
constexpr int kAlertKinds = 15;

template<typename T> using PerStock = std::array<T, kStockCount + 1>;

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

// Indicator results of one stock.
struct IndicatorValues
{
    // [average number 1..6][day 1..3]; index 0 unused.
    std::array<std::array<double, 4>, 7> MovingAverage {};
    double RateOfChange = 0.0;
    double TodayVolume = 0.0;
    double AverageVolume = 0.0;
    qint16 NewHigh = 0;
    qint16 NewLow = 0;
    double StochK = 0.0;
    double StochD = 0.0;
};

struct AlertEntry
{
    qint16 Triggered = 0;
    quint8 Armed = 0; // 1: a line for this alert may still be reported
};

using AlertStates = std::array<AlertEntry, kAlertKinds + 1>; // kinds 1..15; index 0 unused

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

extern PerStock<AlertSettings> gAlertSettings;
extern PerStock<Quote> gQuotes;
extern PerStock<HistoryArray> gHistory; // gHistory[1] .. gHistory[10]
extern HistoryArray gWorkData;
extern PerStock<IndicatorValues> gIndicators;
extern PerStock<AlertStates> gAlertState;
extern PerStock<qint16> gDownloadError;
extern PerStock<qint16> gStockFailed;
extern TimeSettings gTimeSettings;
extern MailSettings gMailSettings;
extern SoundSettings gSoundSettings;

// The main window's public fields, reachable from every module.
extern QString strLogString; // pending activity-log text, written by AppendLog
extern qint16 blnLogVisible; // the log window is open
extern qint16 StockID; // the stock being processed (1..10; 11 after a loop over the stocks)

// Back to the state of a fresh start: numbers 0, texts empty, flags false.
void ResetProgramState();
