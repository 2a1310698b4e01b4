#pragma once

#include "platform/Pending.h"

#include <QObject>

#include <functional>

namespace tradevane {

// An outcome already known when the operation starts (a refused request, an address that is no
// address), reported from the event loop like every other outcome. Cancelling reports it at once.
class Deferred final : public QObject, public Pending
{
public:
    explicit Deferred(std::function<void()> report)
        : m_report(std::move(report))
    {
        QMetaObject::invokeMethod(
            this, [this] { cancel(); }, Qt::QueuedConnection);
    }

    void cancel() override
    {
        if (auto report = std::exchange(m_report, nullptr))
            report(); // may destroy this: nothing of it is touched afterwards
    }

private:
    std::function<void()> m_report;
};

} // namespace tradevane
