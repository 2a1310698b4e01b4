#include "engine/session/AppServices.h"

AppServices::AppServices(WavPlayer soundDevice)
    : m_inet(hub)
    , m_smtp(hub)
    , m_channels(hub)
    , sound(std::move(soundDevice))
    , engine({settings, log, hub, m_inet, m_smtp, sound, m_channels})
{ }
