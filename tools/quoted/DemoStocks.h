#pragma once

#include "engine/settings/AlertSettingsFile.h"

#include <QStringList>

// The stocks a first demonstration watches: ten symbols of the simulated market with the usual
// alerts and a few more, so that alert lines come in the first quote sets of any hour.
inline const QStringList& DemoSymbols()
{
    static const QStringList symbols {QStringLiteral("ABC"), QStringLiteral("MSFT"), QStringLiteral("IBM"),
        QStringLiteral("INTC"), QStringLiteral("CSCO"), QStringLiteral("GE"), QStringLiteral("XOM"),
        QStringLiteral("KO"), QStringLiteral("PFE"), QStringLiteral("T")};
    return symbols;
}

inline void ApplyDemoStock(AlertSettings& s, const QString& symbol)
{
    ApplyDefaultAlertSettings(s);
    s.Enabled = StoredFlag(true);
    s.Symbol = symbol.leftJustified(kSymbolWidth, u' ', true);
    s.MACond2 = s.MACond4 = s.MACond6 = 1; // crossovers down as well as up
    s.Stoch80 = s.Stoch20 = 1;
    s.ROCUp = s.ROCDown = 1;
    s.ROCPlus = 5;
    s.ROCMinus = -5;
}
