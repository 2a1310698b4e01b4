#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>

#include <filesystem>
#include <string>

// What the tests of the price sources share: a Wednesday, a replay folder and the recorded answers
// of the upstream host.
inline const QDate kMarketWednesday(2026, 3, 11);

inline QDateTime at(QDate day, int hour, int minute)
{
    return QDateTime(day, QTime(hour, minute));
}

// ABC.csv (a year of bars, the newest 2024-01-01) and xyz.csv (a few lines in another hand).
inline const std::filesystem::path kReplayFolder
    = std::filesystem::path(TRADEVANE_SOURCE_DIR) / "tests/engine/fixtures/replay";

// A recorded answer of the upstream host.
inline QByteArray nasdaqFixture(const QString& name)
{
    QFile file(QStringLiteral(TRADEVANE_SOURCE_DIR "/tests/engine/fixtures/nasdaq/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
