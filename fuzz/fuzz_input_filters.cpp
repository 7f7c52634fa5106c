// Key and paste filters on any edit state and clipboard text: selections out
// of range are safe, an accepted key never beeps and never lets a second
// separator or sign in, and a filtered paste holds only what its flags allow.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/form/key_filter.h"
#include "ui/form/paste_filter.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

void CheckPaste(const std::string& clipboard, std::uint32_t flags, char separator) {
    const std::string pasted = ionsift::FilterPasteText(clipboard, flags, separator);
    if (ionsift::PastesUnfiltered(flags)) {
        if (pasted != clipboard) std::abort();
        return;
    }
    if (pasted.size() > clipboard.size()) std::abort();
    for (char c : pasted) {
        const bool allowed = IsDigit(c) ||
                             (c == separator && (flags & ionsift::kPasteSeparator)) ||
                             ((c == '+' || c == '-') && !(flags & ionsift::kPasteDropSigns)) ||
                             (IsBlank(c) && (flags & ionsift::kPasteKeepBlanks));
        if (!allowed) std::abort();
    }
}

void CheckRealKey(const ionsift::EditState& edit, char key, bool positive, char separator) {
    const ionsift::KeyVerdict verdict = ionsift::FilterRealKey(edit, key, positive, separator);
    if ((verdict.key == 0) != verdict.beep && key != 0) std::abort();
    if (verdict.key == 0) return;
    const bool clipboardKey = key == 3 || key == 22 || key == 24;
    if (verdict.key != key && !(key == '.' && verdict.key == separator)) std::abort();
    if (positive && verdict.key == '-') std::abort();
    if (!clipboardKey && !IsDigit(verdict.key) && verdict.key != 8 && verdict.key != separator &&
        verdict.key != '+' && verdict.key != '-') {
        std::abort();
    }
}

void CheckIntKey(const ionsift::EditState& edit, char key, bool positive) {
    const ionsift::KeyVerdict verdict = ionsift::FilterIntKey(edit, key, positive);
    if (verdict.key != 0 && verdict.key != key) std::abort();
    if (verdict.key != 0 && verdict.beep) std::abort();
    if (positive && verdict.key != 0 && !IsDigit(verdict.key) && verdict.key != 8) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    const std::uint32_t flags = data[0];
    // Mostly the two real separators; any other non-zero byte now and then.
    const char separator = (data[1] & 1) ? ',' : (data[1] & 2 || data[1] == 0) ? '.' : static_cast<char>(data[1]);
    const bool positive = data[2] & 1;
    const char key = static_cast<char>(data[3]);
    const int start = static_cast<std::int8_t>(data[4]) * (data[6] & 1 ? 64 : 1);
    const int end = static_cast<std::int8_t>(data[5]) * (data[6] & 2 ? 64 : 1);
    const std::string text(reinterpret_cast<const char*>(data + 8), size - 8);

    CheckPaste(text, flags, separator);
    const ionsift::EditState edit{text, start, end};
    CheckRealKey(edit, key, positive, separator);
    CheckIntKey(edit, key, positive);
    return 0;
}
