// Key filters of the numeric edits: which typed character gets through.
#pragma once

#include <string_view>

namespace ionsift {

// The edit as the key will find it.
struct EditState {
    std::string_view text;
    int selectionStart = 0;
    int selectionEnd = 0;
};

struct KeyVerdict {
    char key;   // the character to deliver, 0 when rejected
    bool beep;  // a rejected key sounds the error beep
};

KeyVerdict FilterRealKey(const EditState& edit, char key, bool positive, char separator);
KeyVerdict FilterIntKey(const EditState& edit, char key, bool positive);
// The experimental-data edit: digits, blanks, the separator (a "." becomes
// it), Backspace, Enter and the clipboard keys; nothing else, not even a
// sign or a tab.
KeyVerdict FilterExDataKey(char key, char separator);

}  // namespace ionsift
