#include "gui/AlertHelpTexts.h"

#include "platform/MessageBox.h"

namespace tradevane {

namespace {

const QString kBreak = u"\r\n"_qs;

// Paragraphs separated by a blank line; each paragraph's sentences on lines of their own.
QString paragraphs(const QList<QStringList>& paragraphs)
{
    QStringList joined;
    for (const QStringList& lines : paragraphs)
        joined.append(joinLines(lines));
    return joined.join(kBreak + kBreak);
}

} // namespace

namespace AlertHelp {

QString about()
{
    return u"The Alert Settings window is where you specify which"_qs
        + u" stocks to watch and what indicators will be used to "_qs + u" trigger alerts. "_qs + kBreak
        + kBreak + u" Each Tab displays a group of alerts which can be"_qs
        + u" activated or turned off. To exit, click the [Close] button."_qs
        + u" If you wish to save any changes, click YES when prompted. "_qs + kBreak + kBreak
        + u"ENTERING A SYMBOL:"_qs + kBreak + u"Simply enter the stock symbol in the box. To replace an"_qs
        + u" existing symbol, type the new symbol over the old one"_qs
        + u" and close the screen. (Select YES to save settings) "_qs + kBreak + kBreak
        + u"ENABLE REPEAT ALERTS:"_qs + kBreak
        + u"Select this option to see ALL chosen alerts regarless of"_qs
        + u" weather they are repeats within the same trading day."_qs
        + u" De-select this option if you only want to see new alerts"_qs
        + u" without repetition within the same trading session."_qs + kBreak + kBreak
        + u"RESTORE DEFAULTS:"_qs + kBreak + u"Click this button to set all alerts back to the default"_qs
        + u" settings. This effects only the currently select stock"_qs + kBreak + kBreak
        + u"  Orange [Close] button hides help screens."_qs;
}

QString movingAverages()
{
    return paragraphs({
        {u"Moving averages smooth out the day-to-day swings of the price and help you judge the direction of "
         u"the trend."_qs,
            u"Tradevane calculates simple moving averages of the daily closing prices."_qs},
        {u"For example, the 5 day moving average of a day is the sum of the last 5 closing prices divided "
         u"by 5."_qs,
            u"Worked out for each day and plotted over the most recent n days, these averages form a smooth "
            u"line "
            u"that follows the price."_qs},
        {u"The longer the period of an average, the more it lags behind the price."_qs,
            u"The average with the shorter period is the faster one: in the chart above, the blue line is "
            u"the "
            u"fast average and the red line the slow one."_qs},
        {u"As the chart shows, the points where the fast and the slow average cross each other mark changes "
         u"in the trend."_qs,
            u"Tradevane recognises both kinds of crossover:"_qs,
            u"* - Positive (Fast MA crosses above the Slow MA from below)"_qs,
            u"* - Negative (Fast MA crosses below the Slow MA from above)."_qs},
        {u"Try different timeframes and crossover combinations on a charting website first, then set "
         u"Tradevane to watch the ones that suit your trading."_qs,
            u"The default settings follow popular short, medium and long term combinations."_qs},
    });
}

QString breakouts()
{
    return paragraphs({
        {u"A new high or a new low within a chosen timeframe may signal a breakout, and the trend often "
         u"continues in the direction of the breakout."_qs,
            u"Tradevane reports a new high when today's high is above the high of every one of the chosen "
            u"number of previous trading days, and a new low when today's low is below each of their lows."_qs},
        {u"When choosing the number of days, remember that a longer period gives a more reliable signal, "
         u"while a shorter period gives more false breakouts."_qs,
            u"Medium to long term traders may watch for the highest high in 40 days; short term traders may "
            u"use 7 days."_qs},
        {u"In the example chart the price rose above the highest high of the past 15 days, which led to a "
         u"positive breakout."_qs,
            u"In the same way, lower lows can indicate negative breakouts."_qs},
        {u"Decide which timeframe you want to monitor before you set the number of days."_qs},
    });
}

QString rateOfChange()
{
    return paragraphs({
        {u"The price rate of change compares today's closing price with the close n days ago and expresses "
         u"the change as a percentage of that earlier close."_qs,
            u"Tradevane uses a span of 21 trading days: today's price is compared with the close 20 trading "
            u"days earlier."_qs},
        {u"A positive value indicates an upward trend and a negative value a downward movement; the greater "
         u"the value, the stronger the trend."_qs,
            u"Enter the limits in whole percent: greater than 10 reports a rise of more than 10%, less than "
            u"-5 "
            u"a fall of more than 5%."_qs},
        {u"The example chart shows a positive rate of change during an upward trend, then a reversal "
         u"accompanied by the value falling below zero, and a negative value during the downward trend that "
         u"followed."_qs},
    });
}

QString stochastic()
{
    return paragraphs({
               {u"The stochastic oscillator, developed by George C. Lane, is an overbought/oversold indicator."_qs,
                   u"The slow stochastic used by Tradevane analyses the high, low and close over the most "
                   u"recent "
                   u"14 trading days and today: it shows where the close lies between the lowest low and the "
                   u"highest high of that period, on a scale of 0 to 100, smoothed twice with 3 day averages "
                   u"(%K, and its average %D)."_qs},
               {u"According to Lane, a value below 20 means the stock is oversold and a value above 80 means "
                u"it "
                u"is overbought."_qs,
                   u"Advancing stocks tend to close near the top of their daily range; as an advance comes "
                   u"to an "
                   u"end, the closes move away from the highs."_qs},
               {u"Lane recommended buying when the indicator fell below 20 and then began to climb, and "
                u"selling "
                u"when it rose above 80 and then started to drop."_qs,
                   u"The example chart shows the oscillator (top) against the price (bottom)."_qs,
                   u"Tradevane's pattern recognition detects these conditions: a value above 80 with %K "
                   u"turning "
                   u"down below %D, and a value below 20 with %K turning up above %D."_qs},
               {u"Caution: the oscillator works best in sideways markets and can give false signals in "
                u"trending "
                u"markets."_qs},
           })
        + kBreak + kBreak;
}

} // namespace AlertHelp

} // namespace tradevane
