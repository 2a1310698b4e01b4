#pragma once

#include "engine/forms/SettingsRules.h"
#include "engine/model/Settings.h"

#include <QString>

#include <array>
#include <optional>

namespace tradevane {

// What the alert settings window shows: the texts of its entry boxes and the states of its check
// boxes, kept apart from the widgets so that the checks and the conversion into the record can be
// exercised on their own.
struct AlertEntries
{
    // The six moving-average period boxes, in record order.
    enum Period { ShortFast, ShortSlow, MedFast, MedSlow, LongFast, LongSlow };

    QString symbol;
    bool repeatAlerts = false;
    std::array<bool, 6> maCond {}; // crosses above / below for short, medium, long
    std::array<QString, 6> periods;
    bool highestHigh = false;
    bool lowestLow = false;
    QString hhDays;
    QString llDays;
    bool rocUp = false;
    bool rocDown = false;
    QString rocPlus;
    QString rocMinus;
    bool stoch80 = false;
    bool stoch20 = false;
    bool priceAbove = false;
    bool priceBelow = false;
    QString maxPrice;
    QString minPrice;
    bool volumeUp = false;
};

// The boxes as the window fills them from a stored record: the symbol without its padding,
// numbers in decimal, a price of 0 or less as an empty box.
AlertEntries entriesFromSettings(const AlertSettings& settings);

// The checks made before a save, in their fixed order; the first one that fails.
std::optional<EntryProblem> checkAlertEntries(const AlertEntries& entries);

// Puts checked entries into `settings`: the symbol cut to 7 and watched when there is one, whole
// numbers rounded half to even, prices only where their alert is on. The reserved field is left alone.
void storeAlertEntries(const AlertEntries& entries, AlertSettings& settings);

} // namespace tradevane
