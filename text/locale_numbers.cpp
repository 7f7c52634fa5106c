#include "text/locale_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace ionsift {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Only the blank 0x20 surrounds a number; tabs and line breaks make it fail.
std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at;
}

}  // namespace

bool UserTextToReal(std::string_view text, char separator, double& value) {
    text = TrimBlanks(text);
    std::string number;  // the same number with "." and without a "+" sign
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        if (text[at] == '-') number += '-';
        ++at;
    }
    const std::size_t integerEnd = SkipDigits(text, at);
    number.append(text.substr(at, integerEnd - at));
    std::size_t digits = integerEnd - at;
    at = integerEnd;
    if (at < text.size() && text[at] == separator) {
        const std::size_t fractionEnd = SkipDigits(text, at + 1);
        number += '.';
        number.append(text.substr(at + 1, fractionEnd - at - 1));
        digits += fractionEnd - at - 1;
        at = fractionEnd;
    }
    if (digits == 0) return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        number += 'e';
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) number += text[at++];
        const std::size_t exponentEnd = SkipDigits(text, at);
        if (exponentEnd == at) return false;
        number.append(text.substr(at, exponentEnd - at));
        at = exponentEnd;
    }
    if (at != text.size()) return false;

    // from_chars never looks at the C locale; the text is known to be a
    // complete number, so only the range can fail.
    double parsed = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    const auto result = std::from_chars(first, last, parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

bool UserTextToInt(std::string_view text, int& value) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || SkipDigits(text, 0) != text.size()) return false;
    // The magnitude as unsigned, so that the most negative value fits.
    std::uint64_t magnitude = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (result.ec != std::errc()) return false;
    const std::uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
    if (magnitude > limit) return false;
    value = negative ? static_cast<int>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<int>(magnitude);
    return true;
}

}  // namespace ionsift
