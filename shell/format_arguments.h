// What a printf format reads from its arguments. A translated text in the
// host's catalog is used as a format only when it reads exactly what the
// built-in text reads: otherwise printf would take arguments the caller never
// passed.
#pragma once

#include <optional>
#include <string>

namespace ionsift {

// One letter per argument the format reads, in order: 'i' int (also a "*"
// width or precision, and %c), 'l' long, 'q' 64-bit integer, 'z' size, 'j'
// intmax, 't' ptrdiff, 'f' double, 'F' long double, 's' text, 'S' wide
// text, 'p' pointer. Signed and unsigned integers of one size read alike.
// nullopt for a format printf would misread or that writes (%n), has an
// argument number ("%1$s"), a conversion it does not know, a lone "%", or a
// width or precision above 255.
// Example: FormatArguments("Mass %.6lf \xB1 %*.3f %%") == "fif".
std::optional<std::string> FormatArguments(const char* format);

// True when `text` is a well-formed format that reads the same arguments as
// `reference`, in the same order.
bool ReadsSameArguments(const char* text, const char* reference);

}  // namespace ionsift
