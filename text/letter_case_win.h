// The ANSI code page's letter case for text/letter_case.h.
#pragma once

namespace ionsift {

// Reads the upper case of every byte in the ANSI code page (CharUpperBuffA)
// into SetAnsiUpperCase.
void ReadAnsiUpperCase();

}  // namespace ionsift
