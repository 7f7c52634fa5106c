// The settings store over the private-profile functions and the settings path
// of the host context record.
#pragma once

#include "shell/settings.h"

namespace ionsift {

SettingsStore& ProfileSettingsStore();

}  // namespace ionsift
