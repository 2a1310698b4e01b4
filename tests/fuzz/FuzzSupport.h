#pragma once

// Shared by the fuzz targets: a check that stops the run as a crash (so that libFuzzer keeps the
// input), the fuzz input as Qt and standard texts, and a temporary program folder.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Stops the run when `condition` does not hold: a wrong result counts like a crash.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);               \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

namespace fuzz {

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline std::string Text(const std::uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

// An empty temporary folder, made on first use and removed when the run ends, set as the program
// folder so that every file the program writes by name (the activity log, settings) goes there.
QString UseTemporaryProgramFolder();

} // namespace fuzz
