#pragma once

#include "platform/Clock.h"
#include "platform/MsgBox.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A fresh program: an empty temporary program folder, the program-wide state of a fresh start,
// message boxes recorded and answered from a queue.
class ProgramTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString& name) const;
    QByteArray readFile(const QString& name) const;
    void writeFile(const QString& name, const QByteArray& bytes) const;
    // Copies a file that ships with the program (bitmaps, sounds, documents) into the folder.
    void copyResource(const QString& name) const;

    // Replaces the clock by a simulated one starting at `start` (local time).
    SimulatedClock& simulateClock(const QDateTime& start);

    QTemporaryDir folder;
    MsgBoxRecorder boxes;
    std::unique_ptr<SimulatedClock> clock;
};

// Bytes from a hexadecimal text such as "FF FF 00 41".
QByteArray FromHex(const char* hex);
