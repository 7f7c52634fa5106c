#include "host/app/host_language.h"


namespace ionsift::host {

std::size_t LanguageIndex(const std::string& stored) {
    std::string lower;
    for (char c : stored) {
        // ASCII only: the C runtime locale must not change the result.
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (std::size_t i = 0; i < kHostLanguageCount; ++i) {
        if (lower == kHostLanguages[i].name) return i;
    }
    return 0;
}

}  // namespace ionsift::host
