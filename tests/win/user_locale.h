// The user locale a Windows test runs under. Tests registered with
// COMMA_LOCALE (tests/win/CMakeLists.txt) run once with a point and once with
// a comma; IONSIFT_EXPECT_SEPARATOR says which this run is.
#pragma once

#include <windows.h>

#include <cstdlib>

namespace ionsift::wintest {

// The separator the run was registered for; 0 when the run does not say.
inline char RegisteredSeparator() {
    const char* value = std::getenv("IONSIFT_EXPECT_SEPARATOR");
    return value ? value[0] : '\0';
}

// The user's decimal separator as the plug-in reads it.
inline char UserLocaleSeparator() {
    char separator[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
    return separator[0];
}

// True when the run says no separator or the user's is the one it says.
inline bool SeparatorAsRegistered(char separator) {
    return RegisteredSeparator() == '\0' || RegisteredSeparator() == separator;
}

}  // namespace ionsift::wintest
