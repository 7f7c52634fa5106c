// The edit-control context menu as data: its rows top to bottom, their
// command ids, captions, shortcuts, and the rule that enables each command.
#pragma once

#include <cstddef>

namespace ionsift {

enum class EditCommand { None, Undo, Cut, Copy, Paste, Delete, SelectAll };

struct EditMenuItem {
    EditCommand command;  // None: a separator
    int commandId;        // WM_COMMAND id of the item, stable for callers and tests
    int stringId;         // caption
    const char* shortcutText;
    int virtualKey;       // the shortcut's key
    bool withControl;     // Ctrl held (and neither Shift nor Alt); otherwise no modifier
    char controlChar;     // the WM_CHAR the shortcut also produces, 0 for none
    bool changesText;     // the command may change the text (copy and select all never do)
};

constexpr std::size_t kEditMenuRows = 8;
extern const EditMenuItem kEditMenuItems[kEditMenuRows];

// The row of a command id or of a shortcut; null when there is none.
const EditMenuItem* FindEditMenuItem(int commandId);
const EditMenuItem* FindEditShortcut(int virtualKey, bool control, bool shift, bool alt);

// The focused window as the menu finds it when it opens.
struct EditMenuContext {
    bool canUndo = false;
    int length = 0;
    int selectionStart = 0;
    int selectionEnd = 0;
    bool clipboardHasText = false;
};

bool EditCommandEnabled(EditCommand command, const EditMenuContext& context);

}  // namespace ionsift
