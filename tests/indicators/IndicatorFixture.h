#pragma once

#include "TestSupport.h"

#include "core/VarDef.h"

#include <QString>

// A fresh program with stock 3 being evaluated and helpers to write gWorkData rows.
class IndicatorTest : public ProgramTest
{
protected:
    static constexpr qint16 kStock = 3;

    void SetUp() override
    {
        ProgramTest::SetUp();
        StockID = kStock;
    }

    static void setField(int row, int field, const QString& text) { gWorkData[6 * row + field] = text; }
    static void setClose(int row, const QString& text) { setField(row, 4, text); }
    static void setHigh(int row, const QString& text) { setField(row, 2, text); }
    static void setLow(int row, const QString& text) { setField(row, 3, text); }
    static void setVolume(int row, const QString& text) { setField(row, 5, text); }
    // High, low and close of rows first..last.
    static void setDays(int first, int last, double high, double low, double close)
    {
        for (int r = first; r <= last; ++r) {
            setHigh(r, QString::number(high));
            setLow(r, QString::number(low));
            setClose(r, QString::number(close));
        }
    }

    IndicatorValues& values() const { return gIndicators[kStock]; }
    bool inError() const { return gDownloadError[kStock] == vbTrue; }

    // The activity log as the error path leaves it for `label`.
    static QString errorNote(const char* label)
    {
        return u"Calc Error-Stock #:3"_qs + QLatin1String(label) + u"\r\n"_qs + QString(36, u'=')
            + u"\r\n\r\n"_qs;
    }
};
