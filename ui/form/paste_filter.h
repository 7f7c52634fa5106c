// What the edit menu's Paste lets through, by per-control flags.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ionsift {

constexpr std::uint32_t kPasteDropSigns = 0x01;
constexpr std::uint32_t kPasteKeepBlanks = 0x02;
constexpr std::uint32_t kPasteUnfiltered = 0x10;
constexpr std::uint32_t kPasteSeparator = 0x20;
constexpr std::uint32_t kPasteDropSeparator = 0x40;

// Flags 0 or with kPasteUnfiltered: the clipboard goes in as it is.
bool PastesUnfiltered(std::uint32_t flags);
// The filtered copy of the clipboard text; empty means nothing is pasted.
std::string FilterPasteText(std::string_view clipboard, std::uint32_t flags, char separator);

}  // namespace ionsift
