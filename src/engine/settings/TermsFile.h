#pragma once

#include "platform/RecordFile.h"

namespace tradevane {

// frs.dat: one byte, 1 once the user has accepted the licence terms (any byte but 0 counts);
// missing or empty reads 0.
constexpr int kTermsRecordLength = 1;

QString termsFilePath();
[[nodiscard]] FileError readTermsAccepted(bool& accepted);
[[nodiscard]] FileError writeTermsAccepted(); // 1 into record 1

} // namespace tradevane
