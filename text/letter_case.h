// Letter case of single-byte ANSI text, for the names users and the file
// system give (database names). Each byte has one upper-case byte; until the
// Windows side supplies the ANSI code page's own (letter_case_win.h), only a
// to z have an upper case other than themselves.
#pragma once

#include <array>
#include <string_view>

namespace ionsift {

// Byte -> its upper-case byte (itself when it has none).
using UpperCaseTable = std::array<unsigned char, 256>;

// a to z -> A to Z, every other byte itself.
UpperCaseTable AsciiUpperCase();
void SetAnsiUpperCase(const UpperCaseTable& table);

// Same length, and the same bytes once both are in upper case: in Windows-1252
// "\xC9THER" (ÉTHER) equals "\xE9ther" (éther).
bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace ionsift
