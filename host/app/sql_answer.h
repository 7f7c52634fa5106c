// The text DbSqlExec answers: one line per row, "field;field;field\n".
// The plug-in groups fields strictly by their delimiters, so no field may
// contain one: text fields have ";" and line breaks replaced (see
// AnswerText). Portable and free of SQLite, so the rules are tested alone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ionsift::host {

// Fields of one row are separated by ";"; the row ends with "\n".
constexpr char kFieldEnd = ';';
constexpr char kRowEnd = '\n';

// ";" becomes ",", CR and LF each become a blank, and NUL becomes a blank
// too (the plug-in reads the answer as a zero-terminated string).
std::string AnswerText(std::string_view text);

// Six decimals and "." whatever the C locale: 180.063388.
std::string AnswerReal(double value);

// Binary values as upper-case hexadecimal digits, two per byte.
std::string AnswerBlob(const unsigned char* bytes, std::size_t size);

// Appends one field and its delimiter: ";" or, for the row's last, "\n".
void AppendField(std::string& answer, std::string_view field, bool lastOfRow);

}  // namespace ionsift::host
