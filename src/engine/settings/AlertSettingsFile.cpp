#include "engine/settings/AlertSettingsFile.h"

#include "platform/ProgramFolder.h"

namespace tradevane {

namespace {

// The alert switches in record order; each is stored as one byte, 1 for on.
constexpr AlertKind kSwitchOrder[] = {AlertKind::ShortCrossUp, AlertKind::ShortCrossDown,
    AlertKind::MediumCrossUp, AlertKind::MediumCrossDown, AlertKind::LongCrossUp, AlertKind::LongCrossDown};

qint16 storedWatch(Watch watch)
{
    switch (watch) {
    case Watch::On:
        return kStoredTrue;
    case Watch::Unclear:
        return 1;
    case Watch::Off:
        break;
    }
    return 0;
}

Watch watchOf(qint16 stored)
{
    return isTrue(stored) ? Watch::On : isSet(stored) ? Watch::Unclear : Watch::Off;
}

quint8 storedSwitch(bool on)
{
    return on ? 1 : 0;
}

} // namespace

// Enabled, RepeatAlerts, Symbol (7), MACond1..6, ShortMAFast, ShortMASlow, MedMAFast, MedMASlow,
// LongMAFast, LongMASlow, HHAlert, LLAlert, HHDays, LLDays, ROCUp, ROCDown, ROCPlus, ROCMinus,
// Stoch80, Stoch20, PriceAbove, PriceBelow, MaxPrice, MinPrice, VolumeUp, Reserved. The switches
// are bytes, 1 for on; RepeatAlerts counts as on whenever it is not 0.
QByteArray encodeRecord(const AlertSettings& s)
{
    using K = AlertKind;
    RecordWriter w;
    w.int16(storedWatch(s.watch));
    w.uint8(storedSwitch(s.repeatAlerts));
    w.text(s.symbol, kSymbolWidth);
    for (const K kind : kSwitchOrder)
        w.uint8(storedSwitch(s.on(kind)));
    for (const int period : s.averagePeriods)
        w.int16(static_cast<qint16>(period));
    w.uint8(storedSwitch(s.on(K::HighestHigh)));
    w.uint8(storedSwitch(s.on(K::LowestLow)));
    w.int16(static_cast<qint16>(s.highestHighDays));
    w.int16(static_cast<qint16>(s.lowestLowDays));
    w.uint8(storedSwitch(s.on(K::RateOfChangeAbove)));
    w.uint8(storedSwitch(s.on(K::RateOfChangeBelow)));
    w.int16(static_cast<qint16>(s.rateOfChangeAbove));
    w.int16(static_cast<qint16>(s.rateOfChangeBelow));
    w.uint8(storedSwitch(s.on(K::StochasticAbove80)));
    w.uint8(storedSwitch(s.on(K::StochasticBelow20)));
    w.uint8(storedSwitch(s.on(K::PriceAbove)));
    w.uint8(storedSwitch(s.on(K::PriceBelow)));
    w.float64(s.priceAbove);
    w.float64(s.priceBelow);
    w.uint8(storedSwitch(s.on(K::VolumeSurge)));
    w.uint8(static_cast<quint8>(s.reserved));
    return w.bytes();
}

void decodeRecord(const QByteArray& bytes, AlertSettings& s)
{
    using K = AlertKind;
    RecordReader r(bytes);
    const auto on = [&r] { return r.uint8() == 1; };
    s.watch = watchOf(r.int16());
    s.repeatAlerts = r.uint8() != 0;
    s.symbol = r.text(kSymbolWidth);
    while (s.symbol.endsWith(u' '))
        s.symbol.chop(1);
    for (const K kind : kSwitchOrder)
        s.on(kind) = on();
    for (int& period : s.averagePeriods)
        period = r.int16();
    s.on(K::HighestHigh) = on();
    s.on(K::LowestLow) = on();
    s.highestHighDays = r.int16();
    s.lowestLowDays = r.int16();
    s.on(K::RateOfChangeAbove) = on();
    s.on(K::RateOfChangeBelow) = on();
    s.rateOfChangeAbove = r.int16();
    s.rateOfChangeBelow = r.int16();
    s.on(K::StochasticAbove80) = on();
    s.on(K::StochasticBelow20) = on();
    s.on(K::PriceAbove) = on();
    s.on(K::PriceBelow) = on();
    s.priceAbove = r.float64();
    s.priceBelow = r.float64();
    s.on(K::VolumeSurge) = on();
    s.reserved = r.uint8();
}

QString alertSettingsPath(StockIndex stock)
{
    return programFile(u"Aset"_qs + QString::number(stock.number()) + u".dat"_qs);
}

FileError readAlertSettings(StockIndex stock, AlertSettings& settings)
{
    return readRecordFile(alertSettingsPath(stock), kAlertSettingsLength, settings);
}

FileError writeAlertSettings(StockIndex stock, const AlertSettings& settings)
{
    return writeRecordFile(alertSettingsPath(stock), settings);
}

} // namespace tradevane
