// Catalog texts used as printf formats: on any text the argument reader and
// the sheet-name formatter stay in bounds, and a text they pass as reading
// nothing, one text or two reals does format safely with exactly those.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "export/sheet_name.h"
#include "shell/format_arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* format = text.c_str();  // up to the first zero byte, as a catalog gives it
    const std::optional<std::string> arguments = ionsift::FormatArguments(format);
    const std::string name = ionsift::FormatSheetName(format, 180.063388, 2, ',');
    // Each of the two values fills at most its field of 255 characters.
    if (name.size() > text.size() + 2 * 255) std::abort();
    if (!arguments) return 0;
    for (const char argument : *arguments) {
        if (std::string("ilqzjtfFsSp").find(argument) == std::string::npos) std::abort();
    }
    char message[256];
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
#endif
    if (*arguments == "") std::snprintf(message, sizeof message, format);
    if (*arguments == "s") std::snprintf(message, sizeof message, format, "reason");
    if (*arguments == "ff") std::snprintf(message, sizeof message, format, 180.063388, 2.0);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return 0;
}
