#include "engine/alerts/AlertPreview.h"

#include "engine/alerts/AlertConditions.h"
#include "engine/alerts/AlertEvaluation.h"
#include "engine/indicators/IndicatorSeries.h"
#include "engine/indicators/IndicatorSupport.h"
#include "engine/indicators/Indicators.h"
#include "engine/log/LogTexts.h"
#include "platform/Conversions.h"
#include "platform/ReadableText.h"

namespace tradevane {

AlertPreviewRun::AlertPreviewRun(
    PriceHistory history, StockIndex stock, AlertSettings settings, const QDate& from)
    : m_history(std::move(history))
    , m_stock(stock)
    , m_settings(std::move(settings))
{
    m_nextRow = historyRowCount(m_history) - 1;
    m_lastRow = firstDayRow(m_history);
    if (from.isValid()) {
        while (m_nextRow >= m_lastRow && m_history[static_cast<std::size_t>(m_nextRow)].date.isValid()
            && m_history[static_cast<std::size_t>(m_nextRow)].date < from)
            --m_nextRow;
    }
    m_result.days.reserve(static_cast<std::size_t>(std::max(0, m_nextRow - m_lastRow + 1)));
}

bool AlertPreviewRun::step(int days)
{
    for (int d = 0; d < days && !done(); ++d)
        previewRow(m_nextRow--);
    return done();
}

void AlertPreviewRun::previewRow(int row)
{
    const DailyBar& bar = m_history[static_cast<std::size_t>(row)];
    PreviewDay day;
    day.row = row;
    day.dateText = bar.dateText;
    day.date = bar.date;

    // The day as the monitoring meets it: the alerts armed at its start, then one quote set whose
    // last price is the day's close.
    armAllAlerts(m_alerts);
    const PriceRows rows = PriceRows(m_history).from(row);
    QString failed = computeIndicators(rows, m_settings, m_values);
    if (failed.isEmpty() && !updateAlertFlags(m_settings, m_values, rows.close(0), m_alerts))
        failed = LogText::kAlertFlagsCalc;
    if (!failed.isEmpty()) {
        day.error = calcErrorText(m_stock.number(), failed);
        ++m_result.errorDays;
    } else {
        const DueAlerts due = takeDueAlerts(m_settings, m_alerts);
        for (const QString& line : due.lines)
            day.lines.append(line.chopped(2));
        day.kinds = due.kinds;
    }

    const int index = m_result.dayCount();
    std::array<bool, kAlertKinds> fired {};
    for (const AlertKind kind : day.kinds)
        fired[static_cast<std::size_t>(kind)] = true;
    for (std::size_t k = 0; k < fired.size(); ++k) {
        if (!fired[k])
            continue;
        ++m_result.firedDays[k];
        m_result.lastFired[k] = index;
    }
    if (!day.lines.isEmpty())
        ++m_result.reportingDays;
    m_result.days.push_back(std::move(day));
}

AlertPreview previewAlerts(
    const PriceHistory& history, StockIndex stock, const AlertSettings& settings, const QDate& from)
{
    AlertPreviewRun run(history, stock, settings, from);
    run.step(kHistoryRows + 1);
    return run.take();
}

QString previewDateText(const PreviewDay& day)
{
    return day.date.isValid() ? day.date.toString(Qt::ISODate) : readableLine(day.dateText, 20);
}

QString alertKindName(AlertKind kind)
{
    switch (kind) {
    case AlertKind::ShortCrossUp:
        return u"Short-term crossover up"_qs;
    case AlertKind::ShortCrossDown:
        return u"Short-term crossover down"_qs;
    case AlertKind::MediumCrossUp:
        return u"Medium-term crossover up"_qs;
    case AlertKind::MediumCrossDown:
        return u"Medium-term crossover down"_qs;
    case AlertKind::LongCrossUp:
        return u"Long-term crossover up"_qs;
    case AlertKind::LongCrossDown:
        return u"Long-term crossover down"_qs;
    case AlertKind::HighestHigh:
        return u"Highest high"_qs;
    case AlertKind::LowestLow:
        return u"Lowest low"_qs;
    case AlertKind::RateOfChangeAbove:
        return u"Rate of change above"_qs;
    case AlertKind::RateOfChangeBelow:
        return u"Rate of change below"_qs;
    case AlertKind::StochasticAbove80:
        return u"Stochastic above 80"_qs;
    case AlertKind::StochasticBelow20:
        return u"Stochastic below 20"_qs;
    case AlertKind::PriceAbove:
        return u"Price above"_qs;
    case AlertKind::PriceBelow:
        return u"Price below"_qs;
    case AlertKind::VolumeSurge:
        return u"Volume surge"_qs;
    }
    return {};
}

} // namespace tradevane
