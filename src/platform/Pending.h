#pragma once

namespace tradevane {

// Something the program waits for: an alarm, a transfer, a sound, a mail. Whoever holds it may
// cancel it: it ends at once, and an operation that reports an outcome (a transfer, a mail, a
// sound) reports it as cancelled before cancel() returns; an alarm simply never fires.
// Destroying it ends it silently: nothing is reported.
class Pending
{
public:
    virtual ~Pending() = default;
    virtual void cancel() = 0;
};

} // namespace tradevane
