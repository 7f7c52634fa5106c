#include "host/app/sql_answer.h"

#include "shell/host_numbers.h"

namespace ionsift::host {
namespace {

struct Replacement {
    char from;
    char to;
};

// The characters the plug-in's row parser treats as delimiters, and NUL.
constexpr Replacement kReplacements[] = {
    {';', ','},
    {'\r', ' '},
    {'\n', ' '},
    {'\0', ' '},
};

char Replaced(char c) {
    for (const Replacement& r : kReplacements) {
        if (c == r.from) return r.to;
    }
    return c;
}

}  // namespace

std::string AnswerText(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = Replaced(c);
    return out;
}

std::string AnswerReal(double value) { return FormatFixed(value, 6); }

std::string AnswerBlob(const unsigned char* bytes, std::size_t size) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(2 * size);
    for (std::size_t i = 0; i < size; ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 0x0F];
    }
    return out;
}

void AppendField(std::string& answer, std::string_view field, bool lastOfRow) {
    answer.append(field);
    answer += lastOfRow ? kRowEnd : kFieldEnd;
}

}  // namespace ionsift::host
