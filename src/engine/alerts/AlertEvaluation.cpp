#include "engine/alerts/AlertEvaluation.h"

#include "engine/alerts/AlertConditions.h"
#include "engine/log/LogTexts.h"
#include "platform/RecordFile.h"

namespace tradevane {

namespace {

QString twoDigits(int value)
{
    return value < 10 ? u'0' + QString::number(value) : QString::number(value);
}

// "###0.00": at least one digit before the point, two after it, no grouping.
QString price(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

QString messageHeader(const QTime& now)
{
    return LogText::kAlertHeader + u"\r\nTIME: "_qs + QString::number(now.hour()) + u':'
        + twoDigits(now.minute()) + u"\r\nSUBJECT: STOCK ALERTS\r\n"_qs + QString(26, u'=') + u"\r\n\r\n"_qs;
}

QStringList alertLinesOf(const QString& message)
{
    QStringList lines = message.split(u"\r\n"_qs);
    // Everything up to the rule under the header is the header.
    const qsizetype rule = lines.indexOf(QString(26, u'='));
    if (rule >= 0)
        lines.remove(0, rule + 1);
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    return lines;
}

QString alertLine(const AlertSettings& s, AlertKind kind)
{
    QString text;
    switch (kind) {
    case AlertKind::ShortCrossUp:
        text = u": Short Term Moving Average Cross: Direction = UP"_qs;
        break;
    case AlertKind::ShortCrossDown:
        text = u": Short Term Moving Average Cross: Direction = DOWN"_qs;
        break;
    case AlertKind::MediumCrossUp:
        text = u": Medium Term Moving Average Cross: Direction = UP"_qs;
        break;
    case AlertKind::MediumCrossDown:
        text = u": Medium Term Moving Average Cross: Direction = DOWN"_qs;
        break;
    case AlertKind::LongCrossUp:
        text = u": Long Term Moving Average Cross: Direction = UP"_qs;
        break;
    case AlertKind::LongCrossDown:
        text = u": Long Term Moving Average Cross: Direction = DOWN"_qs;
        break;
    case AlertKind::HighestHigh:
        text = u": Highest High value in "_qs + QString::number(s.highestHighDays) + u" days."_qs;
        break;
    case AlertKind::LowestLow:
        text = u": Lowest Low value in "_qs + QString::number(s.lowestLowDays) + u" days."_qs;
        break;
    case AlertKind::RateOfChangeAbove:
        text = u": 21 Day Rate of Change > "_qs + QString::number(s.rateOfChangeAbove) + u'%';
        break;
    case AlertKind::RateOfChangeBelow:
        text = u": 21 Day Rate of Change < "_qs + QString::number(s.rateOfChangeBelow) + u'%';
        break;
    case AlertKind::StochasticAbove80:
        text = u": Stochastic %K value is > 80 and reversing"_qs;
        break;
    case AlertKind::StochasticBelow20:
        text = u": Stochastic %K value is < 20 and reversing."_qs;
        break;
    case AlertKind::PriceAbove:
        text = u": Price climbed above $"_qs + price(s.priceAbove);
        break;
    case AlertKind::PriceBelow:
        text = u": Price dropped below $"_qs + price(s.priceBelow);
        break;
    case AlertKind::VolumeSurge:
        text = u": Volume is 20% > average of the last 20 days."_qs;
        break;
    }
    return s.symbol.leftJustified(kMaxSymbolLength, u' ') + text + u"\r\n"_qs;
}

void armAllAlerts(AlertStates& alerts)
{
    for (AlertEntry& entry : alerts.entries)
        entry.armed = true;
}

DueAlerts takeDueAlerts(const AlertSettings& settings, AlertStates& alerts)
{
    DueAlerts due;
    for (int k = 0; k < kAlertKinds; ++k) {
        const auto kind = static_cast<AlertKind>(k);
        AlertEntry& entry = alerts[kind];
        if (!entry.triggered)
            continue;
        if (entry.armed) {
            due.lines.append(alertLine(settings, kind));
            due.kinds.append(kind);
        }
        if (!settings.repeatAlerts)
            entry.armed = false;
        due.anyHeld = true;
    }
    return due;
}

bool takesPart(const StockContext& stock)
{
    const StockState& state = stock.state;
    return state.quoteValid && stock.settings.watched() && !state.stockFailed && !state.downloadError;
}

AlertMessage evaluateAlerts(const std::function<StockContext(StockIndex)>& stockAt, const QTime& now,
    const std::function<void(StockIndex, bool alert)>& colour)
{
    const QString header = messageHeader(now);
    QString body;
    QList<AlertItem> items;
    bool anyAlert = false;

    for (const StockIndex index : allStocks()) {
        StockContext stock = stockAt(index);
        if (!takesPart(stock))
            continue;
        colour(index, false);
        setAlertFlags(stock);
        const DueAlerts due = takeDueAlerts(stock.settings, stock.state.alerts);
        if (due.anyHeld) {
            colour(index, true);
            anyAlert = true;
        }
        for (const QString& line : due.lines) {
            body += line;
            stock.state.reportedToday.append(line.chopped(2));
            items.append({index.number(), stock.settings.symbol.trimmed(), line.chopped(2)});
        }
    }
    if (body.isEmpty() || !anyAlert)
        return {};
    return {header + body, items};
}

} // namespace tradevane
