#include "notify/EmailSwitch.h"

#include "core/VarDef.h"

namespace {
std::function<bool()>& shownSwitch()
{
    static std::function<bool()> reader;
    return reader;
}
} // namespace

bool EmailDisabled()
{
    if (shownSwitch())
        return shownSwitch()();
    return gMailSettings.DisableEmail != 0;
}

void SetShownDisableEmail(std::function<bool()> reader)
{
    shownSwitch() = std::move(reader);
}
