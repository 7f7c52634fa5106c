#include "export/sheet_name.h"

#include <cctype>

#include "shell/host_numbers.h"
#include "text/separators.h"

namespace ionsift {
namespace {

constexpr int kDefaultPrecision = 6;
constexpr int kLargestPrecision = 20;

// Reads "%[.N][l]f" at `at` (which points at the '%'); on success sets the
// precision and returns the length of the conversion, else 0.
std::size_t RealConversion(const char* at, int& precision) {
    const char* p = at + 1;
    precision = kDefaultPrecision;
    if (*p == '.') {
        ++p;
        int digits = 0;
        while (std::isdigit(static_cast<unsigned char>(*p))) {
            digits = digits * 10 + (*p - '0');
            if (digits > kLargestPrecision) return 0;
            ++p;
        }
        precision = digits;
    }
    if (*p == 'l') ++p;
    if (*p != 'f') return 0;
    return static_cast<std::size_t>(p + 1 - at);
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
        int precision = 0;
        const std::size_t length = at[0] == '%' && used < 2 ? RealConversion(at, precision) : 0;
        if (length == 0) {
            name += *at++;
            continue;
        }
        name += FormatFixed(values[used++], precision);
        at += length;
    }
    ToLocalSeparator(name, separator);
    return name;
}

}  // namespace ionsift
