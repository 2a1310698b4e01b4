#pragma once

#include <functional>

// Whether alert mail is withheld. While the mail settings window is open it is its Disable Email
// box as currently shown, saved or not; otherwise the stored DisableEmail field of gMailSettings
// (any value but 0 withholds).
bool EmailDisabled();

// The open mail settings window registers how to read its box; an empty function when it closes.
void SetShownDisableEmail(std::function<bool()> reader);
