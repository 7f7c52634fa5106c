#include "text/separators.h"

#include <algorithm>

namespace ionsift {
namespace {

char g_separator = '.';

}  // namespace

char LocaleDecimalSeparator() { return g_separator; }

void SetLocaleDecimalSeparator(char separator) {
    // A locale without a separator character keeps the point.
    g_separator = separator ? separator : '.';
}

void ToLocalSeparator(std::string& text, char separator) {
    if (separator == '.') return;
    std::replace(text.begin(), text.end(), '.', separator);
}

void ToPointSeparator(char* text, char separator) {
    if (!text) return;
    for (; *text; ++text) {
        if (*text == separator) *text = '.';
    }
}

}  // namespace ionsift
