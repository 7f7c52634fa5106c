// The edit-control context menu shared by the main window's edits: Undo, Cut,
// Copy, filtered Paste, Delete, Select all, with their shortcuts; a menu may
// add rows of its owner's below them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace ionsift {

struct EditMenu;

// Told when the keystroke of a shortcut that may change the text (undo, cut,
// paste) brought its character to an attached control: the user typed there,
// though the menu kept the character from the control's own key handling.
// Copy and select all leave the text as it was and are not told.
using EditShortcutObserver = std::function<void(HWND control)>;

// Rows an owner adds below the shared rows, after a separator. Choosing one
// calls `run` with its command id; the shared rows' ids are never passed.
struct EditMenuExtraRow {
    int commandId;
    int stringId;             // caption
    bool needsClipboardText;  // enabled only while the clipboard holds text
};
struct EditMenuExtras {
    const EditMenuExtraRow* rows = nullptr;
    std::size_t count = 0;
    std::function<void(int commandId)> run;
};

EditMenu* CreateEditMenu(EditShortcutObserver onShortcutKey = nullptr, EditMenuExtras extras = {});
// Single-line edits and multi-line memos only; other controls are left alone.
// The flags (ui/form/paste_filter.h) go into the control's user-data slot. A
// shortcut handled by the menu is not a key press for the control.
void AttachEditMenu(EditMenu* menu, HWND control, std::uint32_t flags);
void DestroyEditMenu(EditMenu* menu);

}  // namespace ionsift
