#include "engine/session/AppServices.h"

AppServices::AppServices(WavPlayer soundDevice)
    : sound(std::move(soundDevice))
    , engine({settings, log, hub, fetcher, smtp, sound, channels})
{ }
