#include "shell/format_arguments.h"

#include <cstring>

namespace ionsift {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Widths and precisions beyond this make no sense in a message, and a large
// one makes printf allocate its size ("%.900000000G" asks for gigabytes).
constexpr int kLargestCount = 255;

// A width or a precision: digits, or "*" which reads an int. False when the
// digits say more than kLargestCount.
bool SkipCount(const char*& p, std::string& arguments) {
    if (*p == '*') {
        arguments += 'i';
        ++p;
        return true;
    }
    int count = 0;
    for (; IsDigit(*p); ++p) {
        count = count * 10 + (*p - '0');
        if (count > kLargestCount) return false;
    }
    return true;
}

// The length modifier at `p` (advanced past it): "" for none.
std::string LengthModifier(const char*& p) {
    // Longest first, so that "ll" is not read as "l".
    static const char* const kModifiers[] = {"I64", "I32", "hh", "ll", "h", "l", "L",
                                             "j",   "z",   "t",  "I",  "q", "w"};
    for (const char* modifier : kModifiers) {
        const std::size_t length = std::strlen(modifier);
        if (std::strncmp(p, modifier, length) == 0) {
            p += length;
            return modifier;
        }
    }
    return {};
}

// The argument an integer conversion reads with that modifier; 0 if none fits.
char IntegerArgument(const std::string& modifier) {
    if (modifier.empty() || modifier == "hh" || modifier == "h" || modifier == "I32") return 'i';
    if (modifier == "l") return 'l';
    if (modifier == "ll" || modifier == "I64" || modifier == "q") return 'q';
    if (modifier == "z" || modifier == "I") return 'z';
    if (modifier == "j") return 'j';
    if (modifier == "t") return 't';
    return 0;
}

// The argument conversion `c` reads with `modifier`; 0 for one printf would
// misread, or %n, which writes.
char ConversionArgument(char c, const std::string& modifier) {
    switch (c) {
        case 'd': case 'i': case 'o': case 'u': case 'x': case 'X':
            return IntegerArgument(modifier);
        case 'c':
            return modifier.empty() || modifier == "h" || modifier == "l" || modifier == "w" ? 'i' : 0;
        case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
            if (modifier.empty() || modifier == "l") return 'f';
            return modifier == "L" ? 'F' : 0;
        case 's':
            if (modifier.empty() || modifier == "h") return 's';
            return modifier == "l" || modifier == "w" ? 'S' : 0;
        case 'S':
            return modifier.empty() ? 'S' : 0;
        case 'p':
            return modifier.empty() ? 'p' : 0;
        default:
            return 0;
    }
}

}  // namespace

std::optional<std::string> FormatArguments(const char* format) {
    if (!format) return std::nullopt;
    std::string arguments;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (*p && std::strchr("-+ #0", *p)) ++p;
        if (!SkipCount(p, arguments)) return std::nullopt;
        if (*p == '.') {
            ++p;
            if (!SkipCount(p, arguments)) return std::nullopt;
        }
        const std::string modifier = LengthModifier(p);
        const char argument = *p ? ConversionArgument(*p, modifier) : 0;
        if (argument == 0) return std::nullopt;  // also "%1$s": '$' is no conversion
        arguments += argument;
    }
    return arguments;
}

bool ReadsSameArguments(const char* text, const char* reference) {
    const std::optional<std::string> read = FormatArguments(text);
    return read && read == FormatArguments(reference);
}

}  // namespace ionsift
