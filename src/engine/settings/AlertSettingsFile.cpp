#include "engine/settings/AlertSettingsFile.h"

#include "platform/ProgramFolder.h"

QByteArray EncodeRecord(const AlertSettings& s)
{
    RecordWriter w;
    w.int16(s.Enabled);
    w.uint8(s.RepeatAlerts);
    w.text(s.Symbol, kSymbolWidth);
    for (quint8 flag : {s.MACond1, s.MACond2, s.MACond3, s.MACond4, s.MACond5, s.MACond6})
        w.uint8(flag);
    for (qint16 period : {s.ShortMAFast, s.ShortMASlow, s.MedMAFast, s.MedMASlow, s.LongMAFast, s.LongMASlow})
        w.int16(period);
    w.uint8(s.HHAlert);
    w.uint8(s.LLAlert);
    w.int16(s.HHDays);
    w.int16(s.LLDays);
    w.uint8(s.ROCUp);
    w.uint8(s.ROCDown);
    w.int16(s.ROCPlus);
    w.int16(s.ROCMinus);
    w.uint8(s.Stoch80);
    w.uint8(s.Stoch20);
    w.uint8(s.PriceAbove);
    w.uint8(s.PriceBelow);
    w.float64(s.MaxPrice);
    w.float64(s.MinPrice);
    w.uint8(s.VolumeUp);
    w.uint8(s.Reserved);
    return w.bytes();
}

void DecodeRecord(const QByteArray& bytes, AlertSettings& s)
{
    RecordReader r(bytes);
    s.Enabled = r.int16();
    s.RepeatAlerts = r.uint8();
    s.Symbol = r.text(kSymbolWidth);
    for (quint8* flag : {&s.MACond1, &s.MACond2, &s.MACond3, &s.MACond4, &s.MACond5, &s.MACond6})
        *flag = r.uint8();
    for (qint16* period :
        {&s.ShortMAFast, &s.ShortMASlow, &s.MedMAFast, &s.MedMASlow, &s.LongMAFast, &s.LongMASlow})
        *period = r.int16();
    s.HHAlert = r.uint8();
    s.LLAlert = r.uint8();
    s.HHDays = r.int16();
    s.LLDays = r.int16();
    s.ROCUp = r.uint8();
    s.ROCDown = r.uint8();
    s.ROCPlus = r.int16();
    s.ROCMinus = r.int16();
    s.Stoch80 = r.uint8();
    s.Stoch20 = r.uint8();
    s.PriceAbove = r.uint8();
    s.PriceBelow = r.uint8();
    s.MaxPrice = r.float64();
    s.MinPrice = r.float64();
    s.VolumeUp = r.uint8();
    s.Reserved = r.uint8();
}

QString AlertSettingsPath(StockIndex stock)
{
    return ProgramFile(u"Aset"_qs + QString::number(stock.number()) + u".dat"_qs);
}

FileError ReadAlertSettings(StockIndex stock, AlertSettings& settings)
{
    return ReadRecordFile(AlertSettingsPath(stock), kAlertSettingsLength, settings);
}

FileError WriteAlertSettings(StockIndex stock, const AlertSettings& settings)
{
    return WriteRecordFile(AlertSettingsPath(stock), settings);
}

void ApplyDefaultAlertSettings(AlertSettings& s)
{
    s.RepeatAlerts = 0;
    s.MACond1 = s.MACond3 = s.MACond5 = 1;
    s.MACond2 = s.MACond4 = s.MACond6 = 0;
    SetMovingAveragePeriods(s, kDefaultMovingAveragePeriods);
    s.HHAlert = s.LLAlert = 1;
    s.HHDays = s.LLDays = 20;
    s.ROCUp = s.ROCDown = 0;
    s.ROCPlus = 10;
    s.ROCMinus = 0;
    s.Stoch80 = s.Stoch20 = 0;
    s.PriceAbove = s.PriceBelow = 0;
    s.MaxPrice = s.MinPrice = 0.0;
    s.VolumeUp = 1;
}
