// Registering the plug-in's own window classes.
#pragma once

#include <windows.h>

namespace ionsift {

// Registers the class unless this load of the library already did; one left
// over from an earlier load (a class outlives the module that registered it,
// and its window procedure is gone) is replaced.
bool RegisterFreshClass(const WNDCLASSA& windowClass);

}  // namespace ionsift
