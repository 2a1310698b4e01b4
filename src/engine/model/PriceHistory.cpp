#include "engine/model/PriceHistory.h"

#include "platform/Conversions.h"

namespace tradevane {

namespace {

QDate dateOf(const QString& text)
{
    for (const QString& format : {u"yyyy-MM-dd"_qs, u"M/d/yyyy"_qs, u"d-MMM-yy"_qs}) {
        const QDate date = QDate::fromString(text, format);
        if (date.isValid())
            return date;
    }
    return {};
}

} // namespace

std::optional<double> priceFromText(const QString& text)
{
    return textToNumber(text);
}

std::optional<double> volumeFromText(const QString& text)
{
    bool invalid = false;
    const double volume = val(text, &invalid);
    return invalid ? std::nullopt : std::optional(volume);
}

DailyBar barFromTexts(const QString& date, const QString& open, const QString& high, const QString& low,
    const QString& close, const QString& volume)
{
    DailyBar bar;
    bar.dateText = date.trimmed();
    bar.date = dateOf(bar.dateText);
    bar.open = priceFromText(open);
    bar.high = priceFromText(high);
    bar.low = priceFromText(low);
    bar.close = priceFromText(close);
    bar.volume = volumeFromText(volume);
    return bar;
}

PriceRows PriceRows::from(int row) const
{
    return PriceRows(m_rows.subspan(std::min(static_cast<std::size_t>(std::max(row, 0)), m_rows.size())));
}

std::optional<double> PriceRows::field(int row, std::optional<double> DailyBar::*value, int column) const
{
    // The six fields of a row in their order: date, open, high, low, close, volume.
    const bool held = row >= 0 && (row < kHistoryRows || (row == kHistoryRows && column <= 2));
    if (!held)
        return std::nullopt;
    if (row < size())
        return m_rows[static_cast<std::size_t>(row)].*value;
    return 0.0;
}

} // namespace tradevane
