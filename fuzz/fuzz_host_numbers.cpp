// Host answers are read with the locale-free number readers: any bytes must
// give a value and an end inside the text, and agree with strtod/strtol in the
// C locale on where the number ends.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/host_numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* begin = text.c_str();
    const char* end = nullptr;

    const double real = ionsift::ReadHostReal(begin, &end);
    if (end < begin || end > begin + std::strlen(begin)) std::abort();
    // strtod also reads hexadecimal floats, which host text never holds.
    if (text.find_first_of("xX") == std::string::npos) {
        char* libcEnd = nullptr;
        const double expected = std::strtod(begin, &libcEnd);
        if (libcEnd != end) std::abort();
        if (!(real == expected) && !(real != real && expected != expected)) std::abort();
    }

    const long integer = ionsift::ReadHostInt(begin, &end);
    char* libcEnd = nullptr;
    if (integer != std::strtol(begin, &libcEnd, 10) || libcEnd != end) std::abort();

    (void)ionsift::FormatFixed(real, static_cast<int>(size % 20));
    return 0;
}
