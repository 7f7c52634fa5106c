// Opening and closing the host's message catalog at start and stop.
#pragma once

namespace ionsift {

// Loads the host's localization library through the host's loader, asks the
// host for its language and opens the plug-in's catalog in it. Faults of the
// library other than "no catalog for that language" and "unknown language"
// are shown to the user; in every failure case the built-in texts are used.
void OpenHostCatalog();

// Closes the catalog if one is open and returns the library's module handle
// for the caller to unload (null when none was loaded). Clears the state.
void* CloseHostCatalog();

}  // namespace ionsift
