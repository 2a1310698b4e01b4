#pragma once

#include "engine/model/Settings.h"
#include "engine/model/StockState.h"
#include "platform/RecordFile.h"

namespace tradevane {

// Aset<n>.dat: one 62-byte record of a stock's alert settings.
constexpr int kAlertSettingsLength = 62;
constexpr int kSymbolWidth = 7;

QByteArray EncodeRecord(const AlertSettings& settings);
void DecodeRecord(const QByteArray& bytes, AlertSettings& settings);

// "Aset" n ".dat" in the program folder (Aset1.dat .. Aset10.dat).
QString AlertSettingsPath(StockIndex stock);

[[nodiscard]] FileError ReadAlertSettings(StockIndex stock, AlertSettings& settings);
[[nodiscard]] FileError WriteAlertSettings(StockIndex stock, const AlertSettings& settings);

} // namespace tradevane
