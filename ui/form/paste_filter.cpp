#include "ui/form/paste_filter.h"

namespace ionsift {
namespace {

bool IsPasteBlank(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

}  // namespace

bool PastesUnfiltered(std::uint32_t flags) { return flags == 0 || (flags & kPasteUnfiltered) != 0; }

std::string FilterPasteText(std::string_view clipboard, std::uint32_t flags, char separator) {
    if (PastesUnfiltered(flags)) return std::string(clipboard);
    std::string filtered;
    filtered.reserve(clipboard.size());
    for (const char c : clipboard) {
        if (c == '.' || c == separator) {
            // Without kPasteSeparator a point is dropped, asked to or not.
            if (flags & kPasteSeparator) filtered += separator;
        } else if (c == '+' || c == '-') {
            if (!(flags & kPasteDropSigns)) filtered += c;
        } else if (IsPasteBlank(c)) {
            // Without kPasteKeepBlanks the first blank ends the number.
            if (!(flags & kPasteKeepBlanks)) break;
            filtered += c;
        } else if (c >= '0' && c <= '9') {
            filtered += c;
        }
    }
    return filtered;
}

}  // namespace ionsift
