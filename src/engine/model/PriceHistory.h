#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace tradevane {

// One day of a stock's prices, read once from the texts a history table or a quote gives.
struct DailyBar
{
    QString dateText; // as received, trimmed
    QDate date; // invalid when the text is no date
    // A price is the number its text holds (an empty text holds 0); none when the text is not a
    // number.
    std::optional<double> open;
    std::optional<double> high;
    std::optional<double> low;
    std::optional<double> close;
    // The number the volume's text begins with (0 when it begins with none); none when that
    // number is too large for a double.
    std::optional<double> volume;
};

// The readings of a price and of a volume text.
std::optional<double> priceFromText(const QString& text);
std::optional<double> volumeFromText(const QString& text);

// The bar of the six texts of a history row or a quote (the close is the quote's last price).
DailyBar barFromTexts(const QString& date, const QString& open, const QString& high, const QString& low,
    const QString& close, const QString& volume);

// A stock's days, today first: row 0 is today's quote once one has come (before it, the history
// table's heading line, which holds no prices), rows 1.. the days before, most recent first.
using PriceHistory = std::vector<DailyBar>;

// The rows a history holds: 283, and of a 284th its date, open and high.
constexpr int kHistoryRows = 283;

// A stock's days as an indicator reads them, row 0 the day it computes for. A row past the days
// received reads 0 in every field while it lies within the rows a history holds; a field beyond
// them has no value, which an indicator takes as a failure.
class PriceRows
{
public:
    PriceRows() = default;
    explicit PriceRows(std::span<const DailyBar> rows)
        : m_rows(rows)
    { }

    std::optional<double> open(int row) const { return field(row, &DailyBar::open, 1); }
    std::optional<double> high(int row) const { return field(row, &DailyBar::high, 2); }
    std::optional<double> low(int row) const { return field(row, &DailyBar::low, 3); }
    std::optional<double> close(int row) const { return field(row, &DailyBar::close, 4); }
    std::optional<double> volume(int row) const { return field(row, &DailyBar::volume, 5); }

    // The days received, the heading line or today's row included.
    int size() const { return static_cast<int>(m_rows.size()); }
    const DailyBar& bar(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    // The days as they stood on `row`: that row becomes row 0.
    PriceRows from(int row) const;

private:
    std::optional<double> field(int row, std::optional<double> DailyBar::*value, int column) const;

    std::span<const DailyBar> m_rows;
};

} // namespace tradevane
