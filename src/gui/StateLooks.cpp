#include "gui/StateLooks.h"

namespace tradevane {

namespace {

bool Running(MonitoringSession::State state)
{
    using S = MonitoringSession::State;
    return state != S::Idle && state != S::CheckingConnection && state != S::Stopping;
}

} // namespace

Lamps LampsOf(MonitoringSession::State state)
{
    using S = MonitoringSession::State;
    Lamps lamps;
    lamps.running = Running(state);
    lamps.stopped = !lamps.running;
    lamps.download = state == S::History || state == S::QuoteSet;
    lamps.email = state == S::SendingMail || state == S::SendingChannels;
    return lamps;
}

QString RunningLampBitmap(bool lit)
{
    return lit ? u"s-grn-on.bmp"_qs : u"s-grn-off.bmp"_qs;
}

QString StoppedLampBitmap(bool lit)
{
    return lit ? u"s-red-on.bmp"_qs : u"s-red-off.bmp"_qs;
}

QString ActivityLampBitmap(bool lit)
{
    return lit ? u"s-yel-on.bmp"_qs : u"s-yel-off.bmp"_qs;
}

TrayLook TrayLookOf(MonitoringSession::State state, bool alertUnseen)
{
    using S = MonitoringSession::State;
    if (!Running(state))
        return TrayLook::Stopped;
    if (alertUnseen)
        return TrayLook::Alert;
    switch (state) {
    case S::History:
    case S::QuoteSet:
        return TrayLook::Downloading;
    default:
        return TrayLook::Waiting;
    }
}

} // namespace tradevane
