// The user's decimal separator and the conversions between it and ".".
#pragma once

#include <string>

namespace ionsift {

// The locale's separator; "." until the Windows side reads the user's locale.
char LocaleDecimalSeparator();
void SetLocaleDecimalSeparator(char separator);

// Every "." becomes the separator (nothing when it is ".").
void ToLocalSeparator(std::string& text, char separator = LocaleDecimalSeparator());
// Every separator becomes ".".
void ToPointSeparator(char* text, char separator = LocaleDecimalSeparator());

}  // namespace ionsift
