#pragma once

#include "engine/marketdata/sources/MarketSource.h"

#include <optional>
#include <string>
#include <vector>

namespace tradevane::market {

// Prices go out with two decimals (more when a price is below one), no thousands separators.
std::string formatPrice(double price);
// A signed change: "+0.25", "-1.10", "0.00".
std::string formatChange(double change);
std::string formatQuoteDate(QDate date); // 5/6/2024
std::string formatQuoteTime(QTime time); // 9:05am, 12:30pm
std::string isoDate(QDate date); // 2024-05-06

// One quote line of nine comma-separated fields; symbol, date and time in double quotes, ended by
// CR LF.
std::string quoteLine(const QuoteFields& quote);

// The history answer: a heading line, then one line per bar (date, open, high, low, close,
// volume, adjusted close), most recent first, each line ended by LF. `maxRows` > 0 keeps only
// that many of the most recent bars.
std::string historyText(const std::vector<MarketBar>& bars, const std::string& label, int maxRows);

// A price text from an outside source ("$1,234.50", "29,209.23", " 10.5 ") as a number.
std::optional<double> priceValue(const std::string& text);
// A volume text ("48,794,366") as a whole number; nullopt for "N/A", "--" and the like.
std::optional<std::int64_t> volumeValue(const std::string& text);

// A symbol as the program may send it: 1 to 12 letters, digits, '.', '-', '^' or '='.
bool isPlausibleSymbol(const std::string& symbol);
std::string toUpper(std::string text);

// Monday to Friday.
bool isTradingDay(QDate date);
// The trading day before `date`.
QDate previousTradingDay(QDate date);

} // namespace tradevane::market
