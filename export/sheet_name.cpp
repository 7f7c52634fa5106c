#include "export/sheet_name.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "text/separators.h"

namespace ionsift {
namespace {

constexpr int kDefaultPrecision = 6;
constexpr int kLargestPrecision = 20;
// The name keeps 24 characters; a wider field would only cost memory.
constexpr int kLargestWidth = 255;

// One printf conversion of a double: "%[flags][width][.precision][l]conv",
// conv one of f F e E g G.
struct RealConversion {
    bool left = false, plus = false, space = false, alternate = false, zeros = false;
    int width = 0;
    int precision = kDefaultPrecision;
    char conversion = 'f';
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits at `p` (advanced past them) as a number; -1 above `largest`.
int ReadCount(const char*& p, int largest) {
    int value = 0;
    for (; IsDigit(*p); ++p) {
        if (value <= largest) value = value * 10 + (*p - '0');
    }
    return value <= largest ? value : -1;
}

// Reads a conversion at `at` (which points at the '%'); its length, or 0
// when it is none that takes a double.
std::size_t ReadRealConversion(const char* at, RealConversion& form) {
    const char* p = at + 1;
    form = RealConversion{};
    for (;; ++p) {
        if (*p == '-') form.left = true;
        else if (*p == '+') form.plus = true;
        else if (*p == ' ') form.space = true;
        else if (*p == '#') form.alternate = true;
        else if (*p == '0') form.zeros = true;
        else break;
    }
    form.width = ReadCount(p, kLargestWidth);
    if (form.width < 0) return 0;
    if (*p == '.') {
        ++p;
        form.precision = ReadCount(p, kLargestPrecision);  // "%.f" is precision 0
        if (form.precision < 0) return 0;
    }
    if (*p == 'l') ++p;
    if (!*p || !std::strchr("fFeEgG", *p)) return 0;
    form.conversion = *p;
    return static_cast<std::size_t>(p + 1 - at);
}

std::string ToChars(double value, std::chars_format format, int precision) {
    // Fixed notation of the largest double needs 309 integer digits.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
}

// The decimal exponent in to_chars' scientific text ("1.5e+02" gives 2).
int ExponentOf(const std::string& scientific) {
    const std::size_t e = scientific.find('e');
    if (e == std::string::npos) return 0;
    const char* p = scientific.c_str() + e + 1;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    int exponent = 0;
    std::from_chars(p, scientific.c_str() + scientific.size(), exponent);
    return negative ? -exponent : exponent;
}

// Drops the zeros that end the fraction, and a point left alone ("%g").
void TrimFraction(std::string& digits) {
    const std::size_t point = digits.find('.');
    if (point == std::string::npos) return;
    const std::size_t exponent = std::min(digits.find('e'), digits.size());
    std::size_t end = exponent;
    while (end > point + 1 && digits[end - 1] == '0') --end;
    if (end == point + 1) end = point;
    digits.erase(end, exponent - end);
}

// The digits of a non-negative finite value, as printf writes them with "."
// whatever the C locale says.
std::string RealDigits(double value, const RealConversion& form) {
    const char lower = static_cast<char>(form.conversion | 0x20);
    std::string digits;
    if (lower == 'f') {
        digits = ToChars(value, std::chars_format::fixed, form.precision);
    } else if (lower == 'e') {
        digits = ToChars(value, std::chars_format::scientific, form.precision);
    } else {
        // %g: scientific when the exponent is below -4 or not below the
        // precision, fixed otherwise; both with precision significant digits.
        const int significant = form.precision == 0 ? 1 : form.precision;
        const int exponent = ExponentOf(ToChars(value, std::chars_format::scientific, significant - 1));
        digits = exponent < -4 || exponent >= significant
                     ? ToChars(value, std::chars_format::scientific, significant - 1)
                     : ToChars(value, std::chars_format::fixed, significant - 1 - exponent);
        if (!form.alternate) TrimFraction(digits);
    }
    if (form.alternate && digits.find('.') == std::string::npos) {
        digits.insert(std::min(digits.find('e'), digits.size()), 1, '.');
    }
    return digits;
}

std::string FormatReal(double value, const RealConversion& form) {
    const bool upper = form.conversion >= 'A' && form.conversion <= 'Z';
    const bool finite = std::isfinite(value);
    std::string digits = !finite ? (std::isnan(value) ? "nan" : "inf") : RealDigits(std::fabs(value), form);
    if (upper) {
        for (char& c : digits) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
    }
    std::string sign;
    if (std::signbit(value) && !std::isnan(value)) sign = "-";
    else if (form.plus) sign = "+";
    else if (form.space) sign = " ";

    const std::size_t length = sign.size() + digits.size();
    const std::size_t width = static_cast<std::size_t>(form.width);
    if (length >= width) return sign + digits;
    const std::size_t padding = width - length;
    if (form.left) return sign + digits + std::string(padding, ' ');
    if (form.zeros && finite) return sign + std::string(padding, '0') + digits;
    return std::string(padding, ' ') + sign + digits;
}

}  // namespace

std::string CutSheetName(std::string text) {
    if (text.size() > kSheetNameLimit) text.resize(kSheetNameLimit);
    return text;
}

std::string FormatSheetName(const char* format, double mass, double ppm, char separator) {
    std::string name;
    if (!format) return name;
    const double values[] = {mass, ppm};
    std::size_t used = 0;
    for (const char* at = format; *at;) {
        if (at[0] == '%' && at[1] == '%') {
            name += '%';
            at += 2;
            continue;
        }
        RealConversion form;
        const std::size_t length = at[0] == '%' && used < 2 ? ReadRealConversion(at, form) : 0;
        if (length == 0) {
            name += *at++;
            continue;
        }
        name += FormatReal(values[used++], form);
        at += length;
    }
    ToLocalSeparator(name, separator);
    return name;
}

}  // namespace ionsift
