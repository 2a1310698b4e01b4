#include "engine/forms/AlertEntries.h"

#include "platform/Conversions.h"
#include "platform/MessageBox.h"

namespace tradevane {

namespace {

// A whole-numbered field as it will be stored: the leading number of the text, rounded.
double rounded(const QString& text)
{
    return roundHalfEven(val(text));
}

// A whole-numbered setting as the box gives it; 0 when it is out of the stored range.
int wholeField(const QString& text)
{
    return toInt16(rounded(text)).value_or(0);
}

bool outsideRange(const QString& text, double low, double high)
{
    const double value = val(text);
    return value < low || value > high;
}

QString decimal(double value)
{
    return QString::number(value, 'g', 15);
}

EntryProblem noValue(const QString& alert, const QString& section, const QStringList& more = {})
{
    QStringList lines {u"The <"_qs + alert + u"> alert in the '"_qs + section + u"'"_qs,
        u"section is selected but no numeric value is"_qs, u"entered. Please enter a value."_qs};
    return {u"Check input"_qs, joinLines(lines + more)};
}

EntryProblem fastNotBelowSlow(const QString& title)
{
    return {title,
        joinLines({u"FAST moving average entry must be less"_qs, u"than the SLOW moving average."_qs})};
}

} // namespace

AlertEntries entriesFromSettings(const AlertSettings& s)
{
    using K = AlertKind;
    AlertEntries e;
    e.symbol = s.symbol.trimmed();
    e.repeatAlerts = s.repeatAlerts;
    e.maCond = {s.on(K::ShortCrossUp), s.on(K::ShortCrossDown), s.on(K::MediumCrossUp),
        s.on(K::MediumCrossDown), s.on(K::LongCrossUp), s.on(K::LongCrossDown)};
    for (std::size_t i = 0; i < e.periods.size(); ++i)
        e.periods[i] = QString::number(s.averagePeriods[i]);
    e.highestHigh = s.on(K::HighestHigh);
    e.lowestLow = s.on(K::LowestLow);
    e.hhDays = QString::number(s.highestHighDays);
    e.llDays = QString::number(s.lowestLowDays);
    e.rocUp = s.on(K::RateOfChangeAbove);
    e.rocDown = s.on(K::RateOfChangeBelow);
    e.rocPlus = QString::number(s.rateOfChangeAbove);
    e.rocMinus = QString::number(s.rateOfChangeBelow);
    e.stoch80 = s.on(K::StochasticAbove80);
    e.stoch20 = s.on(K::StochasticBelow20);
    e.priceAbove = s.on(K::PriceAbove);
    e.priceBelow = s.on(K::PriceBelow);
    e.maxPrice = s.priceAbove > 0 ? decimal(s.priceAbove) : QString();
    e.minPrice = s.priceBelow > 0 ? decimal(s.priceBelow) : QString();
    e.volumeUp = s.on(K::VolumeSurge);
    return e;
}

namespace {

// The refusal of each moving-average period box outside its range.
struct PeriodRefusal
{
    const char16_t* title;
    const char16_t* text;
};
constexpr PeriodRefusal kPeriodRefusals[] = {
    {u"Short Timeframe Averages", u"FAST moving average period range is 3 to 20"},
    {u"Short Timeframe Averages", u"SLOW moving average period range is 5 to 25"},
    {u"Medium Timeframe Averages", u"FAST moving average period range is 10 to 35"},
    {u"Medium Timeframe Averages", u"SLOW moving average period range is 20 to 50"},
    {u"Long Timeframe Averages", u"FAST moving average period range is 40 to 100"},
    {u"Long Timeframe Averages", u"SLOW moving average period range is 90 to 200"},
};

} // namespace

std::optional<EntryProblem> checkAlertEntries(const AlertEntries& e)
{
    using P = AlertEntries::Period;
    if (e.priceAbove && !isNumeric(e.maxPrice))
        return noValue(u"Price GREATER than"_qs, u"Price/Volume"_qs);
    if (e.priceBelow && !isNumeric(e.minPrice))
        return noValue(u"Price LESS than"_qs, u"Price/Volume"_qs);
    // A threshold must fit its 16-bit field even while its alert is off: it is stored either way,
    // and a cut value would be a different limit.
    if ((e.rocUp && !isNumeric(e.rocPlus)) || (e.rocDown && !isNumeric(e.rocMinus))
        || !toInt16(rounded(e.rocPlus)) || !toInt16(rounded(e.rocMinus)))
        return noValue(u"Rate of Change"_qs, u"Momentum"_qs, {u"Whole Numbers (Integers) Only."_qs});

    // The pairs are compared as they will be stored, so that 9.6 and 9.9 (both 10) cannot pass
    // as a fast average below a slow one.
    const std::pair<P, P> pairs[]
        = {{P::ShortFast, P::ShortSlow}, {P::MedFast, P::MedSlow}, {P::LongFast, P::LongSlow}};
    const QString pairTitles[]
        = {u"Fast Moving Average"_qs, u"Medium Moving Average"_qs, u"Long Moving Average"_qs};
    for (int i = 0; i < 3; ++i) {
        if (rounded(e.periods[pairs[i].second]) <= rounded(e.periods[pairs[i].first]))
            return fastNotBelowSlow(pairTitles[i]);
    }

    for (std::size_t box = 0; box < e.periods.size(); ++box) {
        const PeriodRange range = kAveragePeriodRanges[box];
        if (outsideRange(e.periods[box], range.low, range.high))
            return EntryProblem {QString::fromUtf16(kPeriodRefusals[box].title),
                QString::fromUtf16(kPeriodRefusals[box].text)};
    }

    const auto badDays = [](const QString& text) { return !isNumeric(text) || outsideRange(text, 2, 200); };
    if (badDays(e.hhDays))
        return EntryProblem {u"Momentum Entry Error)"_qs,
            joinLines({u"Invalid input for Highest High days"_qs, u"Input a number between 2 and 200"_qs})};
    if (badDays(e.llDays))
        return EntryProblem {u"Momentum Entry Error)"_qs,
            joinLines({u"Invalid input for Lowest Low days"_qs, u"Input a number between 2 and 200"_qs})};
    return std::nullopt;
}

void storeAlertEntries(const AlertEntries& e, AlertSettings& s)
{
    using K = AlertKind;
    const QString symbol = e.symbol.trimmed();
    s.symbol = symbol.left(kMaxSymbolLength);
    s.watch = symbol.isEmpty() ? Watch::Off : Watch::On;
    s.repeatAlerts = e.repeatAlerts;
    const K crossings[] = {K::ShortCrossUp, K::ShortCrossDown, K::MediumCrossUp, K::MediumCrossDown,
        K::LongCrossUp, K::LongCrossDown};
    for (std::size_t i = 0; i < e.maCond.size(); ++i)
        s.on(crossings[i]) = e.maCond[i];
    for (std::size_t i = 0; i < e.periods.size(); ++i)
        s.averagePeriods[i] = wholeField(e.periods[i]);
    s.on(K::HighestHigh) = e.highestHigh;
    s.on(K::LowestLow) = e.lowestLow;
    s.highestHighDays = wholeField(e.hhDays);
    s.lowestLowDays = wholeField(e.llDays);
    s.on(K::RateOfChangeAbove) = e.rocUp;
    s.on(K::RateOfChangeBelow) = e.rocDown;
    s.rateOfChangeAbove = wholeField(e.rocPlus);
    s.rateOfChangeBelow = wholeField(e.rocMinus);
    s.on(K::StochasticAbove80) = e.stoch80;
    s.on(K::StochasticBelow20) = e.stoch20;
    s.on(K::PriceAbove) = e.priceAbove;
    s.on(K::PriceBelow) = e.priceBelow;
    s.priceAbove = e.priceAbove ? textToNumber(e.maxPrice).value_or(0.0) : 0.0;
    s.priceBelow = e.priceBelow ? textToNumber(e.minPrice).value_or(0.0) : 0.0;
    s.on(K::VolumeSurge) = e.volumeUp;
}

} // namespace tradevane
