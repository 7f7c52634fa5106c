#include "shell/host_numbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

namespace ionsift {
namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Leading white space and one optional sign, as strtod and strtol take them.
const char* SkipSpaceAndSign(const char* p, bool& negative) {
    while (IsCSpace(*p)) ++p;
    negative = (*p == '-');
    if (*p == '+' || *p == '-') ++p;
    return p;
}

// from_chars reports range errors without a value. The decimal order of
// magnitude of the text tells overflow (positive) from underflow: the place
// of the first significant digit plus the exponent, saturated.
bool TextUnderflows(const char* first, const char* last) {
    long long order = 0;
    bool seenPoint = false, seenSignificant = false;
    const char* p = first;
    for (; p < last && (IsDigit(*p) || *p == '.'); ++p) {
        if (*p == '.') {
            seenPoint = true;
        } else if (!seenSignificant && *p == '0') {
            if (seenPoint) --order;
        } else {
            if (!seenSignificant && seenPoint) --order;
            seenSignificant = true;
            if (!seenPoint) ++order;
        }
    }
    if (p < last && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negative = (p < last && *p == '-');
        if (p < last && (*p == '-' || *p == '+')) ++p;
        long long exponent = 0;
        for (; p < last && IsDigit(*p); ++p) {
            if (exponent < 1000000000LL) exponent = exponent * 10 + (*p - '0');
        }
        order += negative ? -exponent : exponent;
    }
    return order <= 0;
}

}  // namespace

std::string FormatFixed(double value, int decimals) {
    if (decimals < 0) decimals = 0;
    // Fixed notation of the largest double needs 309 integer digits.
    char buffer[400 + 64];
    if (decimals > 64) decimals = 64;
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return std::string();
    return std::string(buffer, result.ptr);
}

double ReadHostReal(const char* text, const char** end) {
    if (end) *end = text;
    if (!text) return 0.0;
    bool negative = false;
    const char* p = SkipSpaceAndSign(text, negative);
    // from_chars would take a second minus sign ("--1"); strtod takes none.
    if (*p == '-' || *p == '+') return 0.0;
    // Nor does it read strtod's hexadecimal floats, which host text never
    // holds: "0x1" reads as 0 followed by "x1".
    const char* last = p + std::strlen(p);
    double value = 0.0;
    const auto result = std::from_chars(p, last, value, std::chars_format::general);
    if (result.ptr == p) return 0.0;
    if (result.ec == std::errc::result_out_of_range)
        value = TextUnderflows(p, result.ptr) ? 0.0 : HUGE_VAL;
    if (end) *end = result.ptr;
    return negative ? -value : value;
}

long ReadHostInt(const char* text, const char** end) {
    if (end) *end = text;
    if (!text) return 0;
    bool negative = false;
    const char* p = SkipSpaceAndSign(text, negative);
    if (!IsDigit(*p)) return 0;
    const char* last = p;
    while (IsDigit(*last)) ++last;
    if (end) *end = last;
    // Parse the magnitude as unsigned so that LONG_MIN stays representable.
    unsigned long long magnitude = 0;
    const auto result = std::from_chars(p, last, magnitude);
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(LONG_MAX) + 1ULL : LONG_MAX;
    if (result.ec == std::errc::result_out_of_range || magnitude > limit)
        return negative ? LONG_MIN : LONG_MAX;
    if (negative) return magnitude == limit ? LONG_MIN : -static_cast<long>(magnitude);
    return static_cast<long>(magnitude);
}

}  // namespace ionsift
