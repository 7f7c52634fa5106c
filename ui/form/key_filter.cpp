#include "ui/form/key_filter.h"

#include <algorithm>
#include <string>

namespace ionsift {
namespace {

constexpr char kBackspace = 8;
constexpr char kEnter = 13;
// Ctrl+C, Ctrl+V and Ctrl+X as the edit receives them.
constexpr char kCopyKey = 3;
constexpr char kPasteKey = 22;
constexpr char kCutKey = 24;

constexpr KeyVerdict kAccept(char key) { return {key, false}; }
constexpr KeyVerdict kReject{0, true};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool HasSign(std::string_view text) {
    return text.find_first_of("+-") != std::string_view::npos;
}

// Selection bounds ordered and inside the text, whatever the control said.
void OrderedSelection(const EditState& edit, std::size_t& start, std::size_t& end) {
    const int size = static_cast<int>(edit.text.size());
    int first = std::clamp(edit.selectionStart, 0, size);
    int last = std::clamp(edit.selectionEnd, 0, size);
    if (first > last) std::swap(first, last);
    start = static_cast<std::size_t>(first);
    end = static_cast<std::size_t>(last);
}

// The text the key will edit: the selection is replaced by the key.
std::string TextAroundSelection(const EditState& edit) {
    std::size_t start = 0, end = 0;
    OrderedSelection(edit, start, end);
    std::string text(edit.text.substr(0, start));
    text.append(edit.text.substr(end));
    return text;
}

bool SelectionAtStart(const EditState& edit) {
    return std::min(edit.selectionStart, edit.selectionEnd) <= 0;
}

}  // namespace

KeyVerdict FilterRealKey(const EditState& edit, char key, bool positive, char separator) {
    if (key == kCopyKey || key == kPasteKey || key == kCutKey) return kAccept(key);
    if (IsDigit(key)) return kAccept(key);
    if (key == '.') key = separator;
    const std::string remaining = TextAroundSelection(edit);
    if (key == separator) {
        return remaining.find(separator) == std::string::npos ? kAccept(key) : kReject;
    }
    if (key == '+' || (key == '-' && !positive)) {
        return SelectionAtStart(edit) && !HasSign(remaining) ? kAccept(key) : kReject;
    }
    if (key == kBackspace) return kAccept(key);
    return kReject;
}

KeyVerdict FilterIntKey(const EditState& edit, char key, bool positive) {
    if (IsDigit(key) || key == kBackspace) return kAccept(key);
    if (!positive && (key == '+' || key == '-')) {
        // Unlike the real filter, a sign inside the selection counts too.
        return SelectionAtStart(edit) && !HasSign(edit.text) ? kAccept(key) : kReject;
    }
    return kReject;
}

KeyVerdict FilterExDataKey(char key, char separator) {
    switch (key) {
    case kCopyKey: case kBackspace: case kEnter: case kPasteKey: case kCutKey: case ' ':
        return kAccept(key);
    default:
        break;
    }
    if (IsDigit(key) || key == separator) return kAccept(key);
    if (key == '.') return kAccept(separator);
    return kReject;
}

}  // namespace ionsift
