#pragma once

#include <QString>

#include <array>
#include <cstddef>

namespace tradevane {

// The settings the user makes, as the program works with them. How each is stored (the record
// files and their byte layouts) is the settings codecs' business alone; the design's field names
// are given in the comments.

constexpr int kStockCount = 10;
constexpr int kAlertKinds = 15;
// The longest symbol a stock may have.
constexpr int kMaxSymbolLength = 7;

// The fifteen alerts, in the order they are evaluated and reported.
enum class AlertKind {
    ShortCrossUp,
    ShortCrossDown,
    MediumCrossUp,
    MediumCrossDown,
    LongCrossUp,
    LongCrossDown,
    HighestHigh,
    LowestLow,
    RateOfChangeAbove,
    RateOfChangeBelow,
    StochasticAbove80,
    StochasticBelow20,
    PriceAbove,
    PriceBelow,
    VolumeSurge,
};

// Whether a stock is watched (`Enabled`). A stored value that is neither on nor off is kept apart:
// such a stock is not watched, but its row shows "?" for its price as a watched one would.
enum class Watch { Off, On, Unclear };

// The moving averages in their order: short fast, short slow, medium fast, medium slow, long fast,
// long slow.
using AveragePeriods = std::array<int, 6>;

// What to watch for one stock (Aset<n>.dat).
struct AlertSettings
{
    Watch watch = Watch::Off; // `Enabled`
    bool repeatAlerts = false; // `RepeatAlerts`: an alert is reported in every set, not once a day
    QString symbol; // `Symbol`, without the padding it is stored with
    // Which alerts are on, by kind: `MACond1`..`MACond6`, `HHAlert`, `LLAlert`, `ROCUp`, `ROCDown`,
    // `Stoch80`, `Stoch20`, `PriceAbove`, `PriceBelow`, `VolumeUp`.
    std::array<bool, kAlertKinds> alertsOn {};
    AveragePeriods averagePeriods {}; // `ShortMAFast` .. `LongMASlow`
    int highestHighDays = 0; // `HHDays`
    int lowestLowDays = 0; // `LLDays`
    int rateOfChangeAbove = 0; // `ROCPlus`: percent
    int rateOfChangeBelow = 0; // `ROCMinus`: percent
    double priceAbove = 0.0; // `MaxPrice`
    double priceBelow = 0.0; // `MinPrice`
    int reserved = 0; // `Reserved`: kept as it was read

    bool& on(AlertKind kind) { return alertsOn[static_cast<std::size_t>(kind)]; }
    bool on(AlertKind kind) const { return alertsOn[static_cast<std::size_t>(kind)]; }
    bool watched() const { return watch == Watch::On; }
};

// The trading day's times (timeset.dat), hours 0..23 and minutes 0..59.
struct TimeSettings
{
    int startHour = 0; // `StartHour`: the day's start, when the history is fetched
    int startMinute = 0;
    int quoteStartHour = 0; // `QuoteStartHour`: the first quote set
    int quoteStartMinute = 0;
    int stopHour = 0; // `StopHour`: no quote set begins after it
    int stopMinute = 0;
    int quoteInterval = 0; // `QuoteInterval`: minutes between quote sets, 1..30
};

// The mail account the alerts go out through (mailset.dat).
struct MailSettings
{
    bool disableEmail = false; // `DisableEmail`: alert mail is prepared but withheld
    bool usePassword = false; // `UsePassword`: the server wants a login
    // Both switches were stored as one of their two values; when not, the mail window starts
    // empty, as for a damaged file.
    bool switchesClear = true;
    int reserved = 0; // `Reserved`: kept as it was read
    QString server; // `Server`: host, or host:port
    QString userName; // `UserName`
    QString password; // `Password`
    // The password is kept in the desktop keyring: stored blank with `UsePassword` on, a pairing
    // the mail window never saves otherwise.
    bool passwordInKeyring = false;
    // Kept in the keyring and not read from there (yet): mail that needs the login cannot go.
    bool passwordUnread = false;
    QString mailFrom; // `MailFrom`
    QString sendTo; // `SendTo`: one or more addresses
    QString copyTo; // `CopyTo`
    QString subject; // `Subject`
};

// The longest text each mail setting may hold (the window's boxes stop there).
namespace MailLimit {
constexpr int kServer = 30;
constexpr int kUserName = 20;
constexpr int kPassword = 20;
constexpr int kAddress = 40; // MailFrom, SendTo, CopyTo
constexpr int kSubject = 50;
} // namespace MailLimit

// The sound an alert plays (soundset.dat); the names are those of the wave files.
enum class AlertSound { None, Siren, Voice, Attention, ThreeBeeps, Chimes };

struct SoundSettings
{
    bool soundsOn = false; // `SoundsEnabled`
    AlertSound sound
        = AlertSound::None; // `UseSiren`, `UseVoice`, `UseAttention`, `UseThreeBeeps`, `UseChimes`
};

// The moving-average periods a stock starts with, and falls back to.
inline constexpr AveragePeriods kDefaultAveragePeriods {5, 10, 10, 30, 50, 200};

// The range the alert settings accept for each moving-average period, in the order above.
struct PeriodRange
{
    int low;
    int high;
};
inline constexpr std::array<PeriodRange, 6> kAveragePeriodRanges {
    {{3, 20}, {5, 25}, {10, 35}, {20, 50}, {40, 100}, {90, 200}}};

// The moving-average periods the alerts use: the stored ones when each fast one is below its slow
// one and all lie in their ranges, else the defaults.
AveragePeriods usableAveragePeriods(const AlertSettings& settings);

// The values of Restore Defaults; the watch, the symbol and the reserved field are left alone.
void applyDefaultAlertSettings(AlertSettings& settings);

} // namespace tradevane
