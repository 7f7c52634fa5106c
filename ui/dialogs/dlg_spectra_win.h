// The list from which the user picks one spectrum of a file that holds
// several: a modal form over the tool window, one row per listed spectrum.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

#include "spectra/spectrum_file.h"

namespace ionsift {

// Shows the listing's entries and waits for the user: the index of the
// entry chosen (OK, Enter or a double click on a row), nothing when
// cancelled or when the form cannot be built. `fileName` names the file in
// the form's text.
std::optional<std::size_t> PickSpectrum(HWND owner, HINSTANCE module,
                                        const SpectrumListing& listing,
                                        const std::string& fileName);

}  // namespace ionsift
