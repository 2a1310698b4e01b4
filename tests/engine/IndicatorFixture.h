#pragma once

#include "TestSupport.h"

#include "engine/model/StockState.h"

#include <QString>

using namespace tradevane;

// A fresh program with stock 3 being evaluated and helpers to write rows of its history from the
// texts a history table or a quote gives.
class IndicatorTest : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        m_settings.watch = Watch::On;
    }

    StockContext& stock() { return m_context; }
    PriceRows rows() const { return PriceRows(m_state.history); }

    // Field 1 open, 2 high, 3 low, 4 close, 5 volume of `row`; the rows before it are added empty.
    void setField(int row, int field, const QString& text)
    {
        const auto index = static_cast<std::size_t>(row);
        if (m_state.history.size() <= index)
            m_state.history.resize(index + 1, barFromTexts({}, {}, {}, {}, {}, {}));
        DailyBar& bar = m_state.history[index];
        std::optional<double>* prices[] = {&bar.open, &bar.high, &bar.low, &bar.close};
        if (field == 5)
            bar.volume = volumeFromText(text);
        else
            *prices[field - 1] = priceFromText(text);
    }
    void setClose(int row, const QString& text) { setField(row, 4, text); }
    void setHigh(int row, const QString& text) { setField(row, 2, text); }
    void setLow(int row, const QString& text) { setField(row, 3, text); }
    void setVolume(int row, const QString& text) { setField(row, 5, text); }
    // High, low and close of rows first..last.
    void setDays(int first, int last, double high, double low, double close)
    {
        for (int r = first; r <= last; ++r) {
            setHigh(r, QString::number(high));
            setLow(r, QString::number(low));
            setClose(r, QString::number(close));
        }
    }

    IndicatorValues& values() { return m_state.indicators; }
    bool inError() const { return m_state.downloadError; }

    // The activity log as the error path leaves it for `label`.
    static QString errorNote(const char* label)
    {
        return u"Calc Error-Stock #:3"_qs + QLatin1String(label) + u"\r\n"_qs + QString(36, u'=')
            + u"\r\n\r\n"_qs;
    }

    AlertSettings m_settings;
    StockState m_state;

private:
    StockContext m_context {StockIndex::fromNumber(3), m_settings, m_state, m_app.log};
};
