#include "engine/forms/SettingsRules.h"

#include "platform/MessageBox.h"

#include "platform/Conversions.h"

#include <cmath>
#include <limits>

namespace tradevane {

bool isNumeric(const QString& text)
{
    return !text.trimmed().isEmpty() && textToNumber(text).has_value();
}

double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction < 0.5)
        return floor;
    if (fraction > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::optional<qint16> toInt16(double rounded)
{
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

QString supportContactLine()
{
    return u"If the problem persists, contact Tradevane support for help."_qs;
}

SaveAnswer askToSave(const QString& question, const QString& title)
{
    switch (msgBox(question, MsgButtons::YesNoCancel, title, MsgIcon::Question)) {
    case MsgResult::Yes:
        return SaveAnswer::Save;
    case MsgResult::No:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Stay;
    }
}

} // namespace tradevane
