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
        m_played.append(QDir(m_folder.path()).relativeFilePath(path));
        if (m_holding) {
            m_release = [done, o = m_outcome] { done(o); };
            return std::make_unique<Deferred>([] {}); // reports nothing itself
        }
        return std::make_unique<Deferred>([done, o = m_outcome] { done(o); });
    }

    // Plays `name` and runs until it has ended.
    void play(const QString& name, int number = 11)
    {
        bool ended = false;
        const auto sound = m_player.playWavFile(name, m_app.log, number, [&] { ended = true; });
        ASSERT_TRUE(runUntil([&] { return ended; }));
    }

    QStringList m_played;
    SoundOutcome m_outcome = SoundOutcome::Played;
    bool m_holding = false;
    std::function<void()> m_release;
    SoundPlayer m_player {[this](const QString& path, auto done) { return device(path, std::move(done)); }};
};
