#include "gui/StateLooks.h"

namespace tradevane {

namespace {

bool running(MonitoringSession::State state)
{
    using S = MonitoringSession::State;
    return state != S::Idle && state != S::CheckingConnection && state != S::Stopping;
}

} // namespace

Lamps lampsOf(MonitoringSession::State state)
{
    using S = MonitoringSession::State;
    Lamps lamps;
    lamps.running = running(state);
    lamps.stopped = !lamps.running;
    lamps.download = state == S::History || state == S::QuoteSet;
    lamps.email = state == S::SendingMail || state == S::SendingChannels;
    return lamps;
}

QString runningLampBitmap(bool lit)
{
    return lit ? u"s-grn-on.bmp"_qs : u"s-grn-off.bmp"_qs;
}

QString stoppedLampBitmap(bool lit)
{
    return lit ? u"s-red-on.bmp"_qs : u"s-red-off.bmp"_qs;
}

QString activityLampBitmap(bool lit)
{
    return lit ? u"s-yel-on.bmp"_qs : u"s-yel-off.bmp"_qs;
}

TrayLook trayLookOf(MonitoringSession::State state, bool alertUnseen)
{
    using S = MonitoringSession::State;
    if (!running(state))
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
