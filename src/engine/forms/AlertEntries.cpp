#include "engine/forms/AlertEntries.h"

#include "engine/settings/AlertSettingsFile.h"
#include "platform/Conversions.h"
#include "platform/MessageBox.h"

namespace {

// A whole-numbered field as it will be stored: the leading number of the text, rounded.
double Rounded(const QString& text)
{
    return RoundHalfEven(Val(text));
}

qint16 WholeField(const QString& text)
{
    return ToInt16(Rounded(text)).value_or(0);
}

bool OutsideRange(const QString& text, double low, double high)
{
    const double value = Val(text);
    return value < low || value > high;
}

quint8 Flag(bool checked)
{
    return checked ? 1 : 0;
}

QString Decimal(double value)
{
    return QString::number(value, 'g', 15);
}

EntryProblem NoValue(const QString& alert, const QString& section, const QStringList& more = {})
{
    QStringList lines {u"The <"_qs + alert + u"> alert in the '"_qs + section + u"'"_qs,
        u"section is selected but no numeric value is"_qs, u"entered. Please enter a value."_qs};
    return {u"Check input"_qs, JoinLines(lines + more)};
}

EntryProblem FastNotBelowSlow(const QString& title)
{
    return {title,
        JoinLines({u"FAST moving average entry must be less"_qs, u"than the SLOW moving average."_qs})};
}

} // namespace

AlertEntries EntriesFromSettings(const AlertSettings& s)
{
    AlertEntries e;
    e.symbol = s.Symbol.trimmed();
    e.repeatAlerts = s.RepeatAlerts != 0;
    e.maCond
        = {s.MACond1 == 1, s.MACond2 == 1, s.MACond3 == 1, s.MACond4 == 1, s.MACond5 == 1, s.MACond6 == 1};
    const qint16 periods[]
        = {s.ShortMAFast, s.ShortMASlow, s.MedMAFast, s.MedMASlow, s.LongMAFast, s.LongMASlow};
    for (int i = 0; i < 6; ++i)
        e.periods[i] = QString::number(periods[i]);
    e.highestHigh = s.HHAlert == 1;
    e.lowestLow = s.LLAlert == 1;
    e.hhDays = QString::number(s.HHDays);
    e.llDays = QString::number(s.LLDays);
    e.rocUp = s.ROCUp == 1;
    e.rocDown = s.ROCDown == 1;
    e.rocPlus = QString::number(s.ROCPlus);
    e.rocMinus = QString::number(s.ROCMinus);
    e.stoch80 = s.Stoch80 == 1;
    e.stoch20 = s.Stoch20 == 1;
    e.priceAbove = s.PriceAbove == 1;
    e.priceBelow = s.PriceBelow == 1;
    e.maxPrice = s.MaxPrice > 0 ? Decimal(s.MaxPrice) : QString();
    e.minPrice = s.MinPrice > 0 ? Decimal(s.MinPrice) : QString();
    e.volumeUp = s.VolumeUp == 1;
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

std::optional<EntryProblem> CheckAlertEntries(const AlertEntries& e)
{
    using P = AlertEntries::Period;
    if (e.priceAbove && !IsNumeric(e.maxPrice))
        return NoValue(u"Price GREATER than"_qs, u"Price/Volume"_qs);
    if (e.priceBelow && !IsNumeric(e.minPrice))
        return NoValue(u"Price LESS than"_qs, u"Price/Volume"_qs);
    // A threshold must fit its 16-bit field even while its alert is off: it is stored either way,
    // and a cut value would be a different limit.
    if ((e.rocUp && !IsNumeric(e.rocPlus)) || (e.rocDown && !IsNumeric(e.rocMinus))
        || !ToInt16(Rounded(e.rocPlus)) || !ToInt16(Rounded(e.rocMinus)))
        return NoValue(u"Rate of Change"_qs, u"Momentum"_qs, {u"Whole Numbers (Integers) Only."_qs});

    // The pairs are compared as they will be stored, so that 9.6 and 9.9 (both 10) cannot pass
    // as a fast average below a slow one.
    const std::pair<P, P> pairs[]
        = {{P::ShortFast, P::ShortSlow}, {P::MedFast, P::MedSlow}, {P::LongFast, P::LongSlow}};
    const QString pairTitles[]
        = {u"Fast Moving Average"_qs, u"Medium Moving Average"_qs, u"Long Moving Average"_qs};
    for (int i = 0; i < 3; ++i) {
        if (Rounded(e.periods[pairs[i].second]) <= Rounded(e.periods[pairs[i].first]))
            return FastNotBelowSlow(pairTitles[i]);
    }

    for (std::size_t box = 0; box < e.periods.size(); ++box) {
        const PeriodRange range = kMovingAveragePeriodRanges[box];
        if (OutsideRange(e.periods[box], range.low, range.high))
            return EntryProblem {QString::fromUtf16(kPeriodRefusals[box].title),
                QString::fromUtf16(kPeriodRefusals[box].text)};
    }

    const auto badDays = [](const QString& text) { return !IsNumeric(text) || OutsideRange(text, 2, 200); };
    if (badDays(e.hhDays))
        return EntryProblem {u"Momentum Entry Error)"_qs,
            JoinLines({u"Invalid input for Highest High days"_qs, u"Input a number between 2 and 200"_qs})};
    if (badDays(e.llDays))
        return EntryProblem {u"Momentum Entry Error)"_qs,
            JoinLines({u"Invalid input for Lowest Low days"_qs, u"Input a number between 2 and 200"_qs})};
    return std::nullopt;
}

void StoreAlertEntries(const AlertEntries& e, AlertSettings& s)
{
    const QString symbol = e.symbol.trimmed();
    s.Symbol = symbol.left(kSymbolWidth).leftJustified(kSymbolWidth, u' ');
    s.Enabled = StoredFlag(!symbol.isEmpty());
    s.RepeatAlerts = Flag(e.repeatAlerts);
    quint8* conds[] = {&s.MACond1, &s.MACond2, &s.MACond3, &s.MACond4, &s.MACond5, &s.MACond6};
    for (int i = 0; i < 6; ++i)
        *conds[i] = Flag(e.maCond[i]);
    qint16* periods[]
        = {&s.ShortMAFast, &s.ShortMASlow, &s.MedMAFast, &s.MedMASlow, &s.LongMAFast, &s.LongMASlow};
    for (int i = 0; i < 6; ++i)
        *periods[i] = WholeField(e.periods[i]);
    s.HHAlert = Flag(e.highestHigh);
    s.LLAlert = Flag(e.lowestLow);
    s.HHDays = WholeField(e.hhDays);
    s.LLDays = WholeField(e.llDays);
    s.ROCUp = Flag(e.rocUp);
    s.ROCDown = Flag(e.rocDown);
    s.ROCPlus = WholeField(e.rocPlus);
    s.ROCMinus = WholeField(e.rocMinus);
    s.Stoch80 = Flag(e.stoch80);
    s.Stoch20 = Flag(e.stoch20);
    s.PriceAbove = Flag(e.priceAbove);
    s.PriceBelow = Flag(e.priceBelow);
    s.MaxPrice = e.priceAbove ? TextToNumber(e.maxPrice).value_or(0.0) : 0.0;
    s.MinPrice = e.priceBelow ? TextToNumber(e.minPrice).value_or(0.0) : 0.0;
    s.VolumeUp = Flag(e.volumeUp);
}
