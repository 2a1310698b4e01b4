#pragma once

#include "engine/model/Settings.h"
#include "engine/model/StockState.h"
#include "platform/RecordFile.h"

namespace tradevane {

// Aset<n>.dat: one 62-byte record of a stock's alert settings.
constexpr int kAlertSettingsLength = 62;
constexpr int kSymbolWidth = 7;

QByteArray encodeRecord(const AlertSettings& settings);
void decodeRecord(const QByteArray& bytes, AlertSettings& settings);

// "Aset" n ".dat" in the program folder (Aset1.dat .. Aset10.dat).
QString alertSettingsPath(StockIndex stock);

[[nodiscard]] FileError readAlertSettings(StockIndex stock, AlertSettings& settings);
[[nodiscard]] FileError writeAlertSettings(StockIndex stock, const AlertSettings& settings);

} // namespace tradevane
