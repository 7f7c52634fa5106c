// The strict user-number conversions on any text: whatever they accept,
// strtod/strtol in the C locale read as the same whole number once the
// separator is a point; a failed conversion leaves the value alone.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/locale_numbers.h"

namespace {

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char separator = (data[0] & 1) ? ',' : '.';
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    double real = -7.25;
    if (ionsift::UserTextToReal(text, separator, real)) {
        std::string pointed = Trimmed(text);
        for (char& c : pointed) {
            if (c == separator) c = '.';
            // Every other character must be one a number is made of.
            else if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E')) std::abort();
        }
        char* end = nullptr;
        const double expected = std::strtod(pointed.c_str(), &end);
        if (*end != '\0' || expected != real) std::abort();
    } else if (real != -7.25) {
        std::abort();
    }

    int integer = 12345;
    if (ionsift::UserTextToInt(text, integer)) {
        const std::string trimmed = Trimmed(text);
        char* end = nullptr;
        errno = 0;
        const long long expected = std::strtoll(trimmed.c_str(), &end, 10);
        if (*end != '\0' || errno != 0 || expected != integer) std::abort();
    } else if (integer != 12345) {
        std::abort();
    }
    return 0;
}
