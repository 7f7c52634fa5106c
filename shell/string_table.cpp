#include "shell/string_table.h"

#include "shell/format_arguments.h"

namespace ionsift {

const StringRow kStringTable[kStringCount] = {
#define X(id, text) {id, text},
#define EXTENSION(id, text)
#define SPECTRA(id, text)
#include "resources/strings_en.inc"
#undef X
#undef EXTENSION
#undef SPECTRA
};

const StringRow kExtensionStrings[kExtensionStringCount] = {
#define X(id, text)
#define EXTENSION(id, text) {id, text},
#define SPECTRA(id, text)
#include "resources/strings_en.inc"
#undef X
#undef EXTENSION
#undef SPECTRA
};

const StringRow kSpectrumStrings[kSpectrumStringCount] = {
#define X(id, text)
#define EXTENSION(id, text)
#define SPECTRA(id, text) {id, text},
#include "resources/strings_en.inc"
#undef X
#undef EXTENSION
#undef SPECTRA
};

const char* DefaultString(int id) {
    for (const StringRow& row : kStringTable) {
        if (row.id == id) return row.text;
    }
    for (const StringRow& row : kExtensionStrings) {
        if (row.id == id) return row.text;
    }
    for (const StringRow& row : kSpectrumStrings) {
        if (row.id == id) return row.text;
    }
    return kUnknownString;
}

LocaleLibrary& TheLocaleLibrary() {
    static LocaleLibrary library;
    return library;
}

const char* LocString(int id) {
    const char* fallback = DefaultString(id);
    const LocaleLibrary& locale = TheLocaleLibrary();
    if (locale.catalog != 0 && locale.getCatStr) {
        const char* text = locale.getCatStr(locale.catalog, id, fallback);
        return text ? text : fallback;
    }
    return fallback;
}

const char* LocFormat(int id) {
    const char* text = LocString(id);
    const char* builtIn = DefaultString(id);
    return ReadsSameArguments(text, builtIn) ? text : builtIn;
}

}  // namespace ionsift
