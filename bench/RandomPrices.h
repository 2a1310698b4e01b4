#pragma once

#include "engine/model/PriceHistory.h"

#include <QDate>
#include <QString>

#include <algorithm>
#include <random>

namespace tradevane {

// `rows` random trading days of prices as the engine holds a downloaded history, newest first
// from `newest` (weekends left out), starting from `firstClose`; with the table's heading line in
// front when `heading`.
inline PriceHistory randomPrices(unsigned seed, double firstClose, QDate newest, int rows, bool heading)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> step(-0.03, 0.03);
    std::uniform_real_distribution<double> spread(0.0, 0.02);
    std::uniform_int_distribution<int> volume(100000, 5000000);
    const auto price = [](double v) { return QString::number(v, 'f', 2); };
    PriceHistory history;
    if (heading)
        history.push_back(
            barFromTexts(u"Date"_qs, u"Open"_qs, u"High"_qs, u"Low"_qs, u"Close"_qs, u"Volume"_qs));
    double close = firstClose;
    QDate day = newest;
    for (int row = 0; row < rows; ++row) {
        const double open = close;
        close = std::max(0.5, close * (1.0 + step(random)));
        history.push_back(barFromTexts(day.toString(Qt::ISODate), price(open),
            price(std::max(open, close) * (1.0 + spread(random))),
            price(std::min(open, close) * (1.0 - spread(random))), price(close),
            QString::number(volume(random))));
        do
            day = day.addDays(-1);
        while (day.dayOfWeek() > 5);
    }
    return history;
}

} // namespace tradevane
