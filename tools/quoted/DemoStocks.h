#pragma once

#include "engine/settings/AlertSettingsFile.h"

#include <QStringList>

using namespace tradevane;

// The stocks a first demonstration watches: ten symbols of the simulated market with the usual
// alerts and a few more, so that alert lines come in the first quote sets of any hour.
inline const QStringList& demoSymbols()
{
    static const QStringList kSymbols {QStringLiteral("ABC"), QStringLiteral("MSFT"), QStringLiteral("IBM"),
        QStringLiteral("INTC"), QStringLiteral("CSCO"), QStringLiteral("GE"), QStringLiteral("XOM"),
        QStringLiteral("KO"), QStringLiteral("PFE"), QStringLiteral("T")};
    return kSymbols;
}

inline void applyDemoStock(AlertSettings& s, const QString& symbol)
{
    applyDefaultAlertSettings(s);
    using K = AlertKind;
    s.watch = Watch::On;
    s.symbol = symbol.left(kMaxSymbolLength);
    // Crossovers down as well as up, the stochastic and the rate of change.
    for (const K kind : {K::ShortCrossDown, K::MediumCrossDown, K::LongCrossDown, K::StochasticAbove80,
             K::StochasticBelow20, K::RateOfChangeAbove, K::RateOfChangeBelow})
        s.on(kind) = true;
    s.rateOfChangeAbove = 5;
    s.rateOfChangeBelow = -5;
}
