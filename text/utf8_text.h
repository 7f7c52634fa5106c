// Text of unknown encoding made UTF-8: text that is valid UTF-8 is taken as
// it is, anything else is read as Windows-1252, the single-byte ANSI code page
// of Western Windows systems and the usual encoding of files that are not
// UTF-8 (a Latin-1 "\xE9" is Windows-1252's too). Linear in the text's length.
//   AsUtf8("caf\xC3\xA9") == "caf\xC3\xA9"   (already UTF-8: unchanged)
//   AsUtf8("caf\xE9")     == "caf\xC3\xA9"   (Windows-1252 0xE9: U+00E9)
#pragma once

#include <string>
#include <string_view>

namespace ionsift {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// Every byte as its Windows-1252 character in UTF-8. The five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+FFFD.
std::string Utf8FromWindows1252(std::string_view text);

// `text` itself when it is valid UTF-8, else Utf8FromWindows1252(text).
std::string AsUtf8(std::string_view text);

}  // namespace ionsift
