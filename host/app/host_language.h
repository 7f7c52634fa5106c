// The languages the stand-in host offers; it answers "Get PrfLang" with one.
#pragma once

#include <cstddef>
#include <string>

namespace ionsift::host {

struct HostLanguage {
    const char* name;   // as stored in the settings and answered to the plug-in
    const char* label;  // menu caption
};

constexpr HostLanguage kHostLanguages[] = {
    {"english", "&English"},
    {"german", "&German"},
    {"french", "&French"},
};
constexpr std::size_t kHostLanguageCount = sizeof(kHostLanguages) / sizeof(kHostLanguages[0]);

// Index into kHostLanguages of a stored setting; anything unknown is English.
std::size_t LanguageIndex(const std::string& stored);

}  // namespace ionsift::host
