// User-visible texts by string ID, with the built-in English defaults, and the
// host's message catalog that translates them.
#pragma once

#include <cstdint>

#include "shell/locale_api.h"

namespace ionsift {

struct StringRow {
    std::int32_t id;
    const char* text;
};

constexpr int kStringCount = 54;
extern const StringRow kStringTable[kStringCount];

// The texts of the ion search, ranking and fit, from ID 55 on.
constexpr int kExtensionStringCount = 40;
extern const StringRow kExtensionStrings[kExtensionStringCount];

// The texts of measured spectra from files and the clipboard, from ID 100 on.
constexpr int kSpectrumStringCount = 17;
extern const StringRow kSpectrumStrings[kSpectrumStringCount];

constexpr const char* kUnknownString = "Unknown localized string";

// The built-in English text of an ID; kUnknownString when neither table has it.
const char* DefaultString(int id);

// The host's localization library as resolved through the host's loader, and
// the catalog opened in the host's language (0: built-in texts only).
struct LocaleLibrary {
    void* module = nullptr;
    LocCloseCatFn closeCat = nullptr;
    LocGetCatStrFn getCatStr = nullptr;
    LocGetErrFn getErr = nullptr;
    LocGetErrStrFn getErrStr = nullptr;
    LocOpenCatFn openCat = nullptr;
    int catalog = 0;
};
LocaleLibrary& TheLocaleLibrary();

// The catalog's translation of the ID, or the built-in default. The text is
// read-only and stays valid until the catalog is closed.
const char* LocString(int id);

// LocString for a text used as a printf format: a translation that reads
// other arguments than the built-in text (format_arguments.h) gives way to
// the built-in text, which the caller's arguments fit.
const char* LocFormat(int id);

}  // namespace ionsift
