#pragma once

#include "TestSupport.h"

#include "engine/notify/SoundPlayer.h"
#include "platform/Deferred.h"
#include "platform/RecordFile.h"

#include <QDir>

using namespace tradevane;

// Sound choice and playing, on a device that records what it was asked to play and ends each
// sound with `outcome` from the event loop (or, while `holding`, only when told to).
class Sounds : public ProgramTest
{
protected:
    std::unique_ptr<Pending> device(const QString& path, std::function<void(SoundOutcome)> done)
    {
        played.append(QDir(folder.path()).relativeFilePath(path));
        if (holding) {
            release = [done, o = outcome] { done(o); };
            return std::make_unique<Deferred>([] {}); // reports nothing itself
        }
        return std::make_unique<Deferred>([done, o = outcome] { done(o); });
    }

    // Plays `name` and runs until it has ended.
    void play(const QString& name, int number = 11)
    {
        bool ended = false;
        const auto sound = player.PlayWavFile(name, app.log, number, [&] { ended = true; });
        ASSERT_TRUE(RunUntil([&] { return ended; }));
    }

    QStringList played;
    SoundOutcome outcome = SoundOutcome::Played;
    bool holding = false;
    std::function<void()> release;
    SoundPlayer player {[this](const QString& path, auto done) { return device(path, std::move(done)); }};
};
