#include "engine/marketdata/sources/SourceFormats.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tradevane::market {

ServiceClock systemServiceClock()
{
    return [] { return QDateTime::currentDateTime(); };
}

namespace {

// A number with `decimals` digits after the point, printed whole, however many digits it has
// before the point; `sign` puts a + before a positive one.
std::string formatNumber(double value, int decimals, bool sign = false)
{
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, sign ? "%+.*f" : "%.*f", decimals, value);
    if (length < static_cast<int>(sizeof buffer))
        return buffer;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), sign ? "%+.*f" : "%.*f", decimals, value);
    text.pop_back();
    return text;
}

} // namespace

std::string formatPrice(double price)
{
    return formatNumber(price, std::fabs(price) < 1.0 ? 4 : 2);
}

std::string formatChange(double change)
{
    if (std::fabs(change) < 0.005)
        return "0.00";
    return formatNumber(change, 2, true);
}

std::string formatQuoteDate(QDate date)
{
    return std::to_string(date.month()) + "/" + std::to_string(date.day()) + "/"
        + std::to_string(date.year());
}

std::string formatQuoteTime(QTime time)
{
    int hour = time.hour() % 12;
    if (hour == 0)
        hour = 12;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d:%02d%s", hour, time.minute(), time.hour() < 12 ? "am" : "pm");
    return buffer;
}

std::string isoDate(QDate date)
{
    return date.toString(Qt::ISODate).toStdString();
}

namespace {

// The program drops every double quote and splits at every comma, so a field must hold neither.
std::string clean(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c != ',' && c != '"' && c != '\r' && c != '\n')
            out += c;
    }
    return out;
}

std::string quoted(const std::string& text)
{
    return "\"" + clean(text) + "\"";
}

} // namespace

std::string quoteLine(const QuoteFields& q)
{
    return quoted(q.symbol) + "," + clean(q.last) + "," + quoted(q.date) + "," + quoted(q.time) + ","
        + clean(q.change) + "," + clean(q.open) + "," + clean(q.high) + "," + clean(q.low) + ","
        + clean(q.volume) + "\r\n";
}

std::string historyText(const std::vector<MarketBar>& bars, const std::string& label, int maxRows)
{
    std::string text = "Date (" + clean(label) + "),Open,High,Low,Close,Volume,Adj Close\n";
    const std::size_t rows
        = maxRows > 0 ? std::min(bars.size(), static_cast<std::size_t>(maxRows)) : bars.size();
    text.reserve(text.size() + rows * 64);
    for (std::size_t i = 0; i < rows; ++i) {
        const MarketBar& b = bars[i];
        const std::string close = formatPrice(b.close);
        text += isoDate(b.date);
        text += ',' + formatPrice(b.open) + ',' + formatPrice(b.high) + ',' + formatPrice(b.low) + ',' + close
            + ',' + std::to_string(b.volume) + ',' + close + '\n';
    }
    return text;
}

std::optional<double> priceValue(const std::string& text)
{
    std::string digits;
    for (char c : text) {
        if (c == '$' || c == ',' || c == ' ')
            continue;
        digits += c;
    }
    if (digits.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(digits.c_str(), &end);
    if (end != digits.c_str() + digits.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> volumeValue(const std::string& text)
{
    std::string digits;
    for (char c : text) {
        if (c == ',' || c == ' ')
            continue;
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        digits += c;
    }
    if (digits.empty() || digits.size() > 18)
        return std::nullopt;
    return std::stoll(digits);
}

bool isPlausibleSymbol(const std::string& symbol)
{
    if (symbol.empty() || symbol.size() > 12)
        return false;
    return std::all_of(symbol.begin(), symbol.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '^' || c == '=';
    });
}

std::string toUpper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool isTradingDay(QDate date)
{
    return date.dayOfWeek() <= 5;
}

QDate previousTradingDay(QDate date)
{
    do
        date = date.addDays(-1);
    while (!isTradingDay(date));
    return date;
}

} // namespace tradevane::market
