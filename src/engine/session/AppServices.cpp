#include "engine/session/AppServices.h"

namespace tradevane {

AppServices::AppServices(WavPlayer soundDevice)
    : sound(std::move(soundDevice))
    , engine({settings, log, hub, fetcher, smtp, sound, channels, secrets})
{ }

} // namespace tradevane
