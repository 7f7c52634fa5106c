// The shared edit-control context menu: a real popup menu whose items, and
// whose shortcuts while an attached edit has the focus, act on the focused
// window. Each attached edit is subclassed; the subclass sees its messages
// before any handler the owner installed earlier.
#include "ui/form/dlg_popup_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "shell/error_report.h"
#include "shell/string_table.h"
#include "ui/form/edit_menu_items.h"
#include "ui/form/paste_filter.h"
#include "text/separators.h"

namespace ionsift {

struct EditMenu {
    HMENU popup = nullptr;
    std::vector<HWND> controls;
    // The WM_CHAR that the last shortcut's keystroke is about to deliver.
    HWND shortcutWindow = nullptr;
    WPARAM shortcutChar = 0;
    bool shortcutChangesText = false;
    EditShortcutObserver onShortcutKey;
    EditMenuExtras extras;
};

namespace {

constexpr UINT_PTR kEditMenuSubclassId = 0xED17;
constexpr int kOutOfMemoryId = 52;

bool IsEditControl(HWND control) {
    char className[16] = {};
    return GetClassNameA(control, className, sizeof className) > 0 &&
           lstrcmpiA(className, "Edit") == 0;
}

struct Selection {
    DWORD start = 0;
    DWORD end = 0;
};

Selection GetSelection(HWND edit) {
    Selection selection;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start),
                 reinterpret_cast<LPARAM>(&selection.end));
    return selection;
}

void EnableItems(const EditMenu& menu) {
    EditMenuContext context;
    if (const HWND focused = GetFocus()) {
        context.canUndo = SendMessageA(focused, EM_CANUNDO, 0, 0) != 0;
        context.length = GetWindowTextLengthA(focused);
        const Selection selection = GetSelection(focused);
        context.selectionStart = static_cast<int>(selection.start);
        context.selectionEnd = static_cast<int>(selection.end);
    }
    context.clipboardHasText = IsClipboardFormatAvailable(CF_TEXT) != 0;
    for (const EditMenuItem& item : kEditMenuItems) {
        if (item.command == EditCommand::None) continue;
        const bool enabled = EditCommandEnabled(item.command, context);
        EnableMenuItem(menu.popup, static_cast<UINT>(item.commandId),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    for (std::size_t i = 0; i < menu.extras.count; ++i) {
        const EditMenuExtraRow& row = menu.extras.rows[i];
        const bool enabled = !row.needsClipboardText || context.clipboardHasText;
        EnableMenuItem(menu.popup, static_cast<UINT>(row.commandId),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

const EditMenuExtraRow* FindExtraRow(const EditMenu& menu, int commandId) {
    for (std::size_t i = 0; i < menu.extras.count; ++i) {
        if (menu.extras.rows[i].commandId == commandId) return &menu.extras.rows[i];
    }
    return nullptr;
}

class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != 0) {}
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL memory)
        : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    ~GlobalLockScope() {
        if (data_) GlobalUnlock(memory_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    void* Data() const { return data_; }

private:
    HGLOBAL memory_;
    void* data_;
};

enum class FilterOutcome { NothingToPaste, Replaced, OutOfMemory };

// Puts the filtered copy of the clipboard's text in its place. The clipboard
// is emptied only once the copy is ready, so a failure leaves it as it was.
FilterOutcome ReplaceClipboardTextFiltered(HWND owner, std::uint32_t flags) {
    const OpenClipboardScope clipboard(owner);
    if (!clipboard.IsOpen()) return FilterOutcome::NothingToPaste;
    std::string filtered;
    try {
        const GlobalLockScope source(GetClipboardData(CF_TEXT));
        const char* text = static_cast<const char*>(source.Data());
        if (!text) return FilterOutcome::NothingToPaste;
        filtered = FilterPasteText(text, flags, LocaleDecimalSeparator());
    } catch (const std::bad_alloc&) {
        return FilterOutcome::OutOfMemory;
    }
    if (filtered.empty()) return FilterOutcome::NothingToPaste;

    const HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, filtered.size() + 1);
    if (!copy) return FilterOutcome::OutOfMemory;
    {
        const GlobalLockScope target(copy);
        if (!target.Data()) {
            GlobalFree(copy);
            return FilterOutcome::OutOfMemory;
        }
        std::memcpy(target.Data(), filtered.c_str(), filtered.size() + 1);
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_TEXT, copy)) {
        GlobalFree(copy);
        return FilterOutcome::NothingToPaste;
    }
    return FilterOutcome::Replaced;
}

void PasteFiltered(HWND target) {
    if (!IsClipboardFormatAvailable(CF_TEXT)) return;
    const auto flags = static_cast<std::uint32_t>(GetWindowLongPtrA(target, GWLP_USERDATA));
    if (PastesUnfiltered(flags)) {
        SendMessageA(target, WM_PASTE, 0, 0);
        return;
    }
    switch (ReplaceClipboardTextFiltered(target, flags)) {
        case FilterOutcome::Replaced:
            SendMessageA(target, WM_PASTE, 0, 0);
            break;
        case FilterOutcome::OutOfMemory:
            ShowError(kOutOfMemoryId);
            break;
        case FilterOutcome::NothingToPaste:
            break;
    }
}

void DeleteSelectionOrNextCharacter(HWND target) {
    const Selection selection = GetSelection(target);
    // The edit clamps the end, so at the end of the text nothing is selected.
    if (selection.start == selection.end) {
        SendMessageA(target, EM_SETSEL, selection.start, selection.end + 1);
    }
    SendMessageA(target, WM_CLEAR, 0, 0);
}

void RunCommand(EditCommand command) {
    const HWND target = GetFocus();
    if (!target) return;
    switch (command) {
        case EditCommand::Undo: SendMessageA(target, WM_UNDO, 0, 0); break;
        case EditCommand::Cut: SendMessageA(target, WM_CUT, 0, 0); break;
        case EditCommand::Copy: SendMessageA(target, WM_COPY, 0, 0); break;
        case EditCommand::Paste: PasteFiltered(target); break;
        case EditCommand::Delete: DeleteSelectionOrNextCharacter(target); break;
        case EditCommand::SelectAll: SendMessageA(target, EM_SETSEL, 0, -1); break;
        case EditCommand::None: break;
    }
}

// Where the menu opens: at the mouse, or from the keyboard (-1) at the caret.
POINT MenuPosition(HWND control, LPARAM where) {
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (where != -1) return at;
    if (GetCaretPos(&at)) {
        ClientToScreen(control, &at);
    } else {
        RECT rect{};
        GetWindowRect(control, &rect);
        at = {rect.left, rect.bottom};
    }
    return at;
}

void ShowMenu(const EditMenu& menu, HWND control, LPARAM where) {
    // The commands act on the focused window: make that the clicked edit.
    if (GetFocus() != control) SetFocus(control);
    const POINT at = MenuPosition(control, where);
    // The chosen item comes back as WM_COMMAND to the edit, i.e. to the subclass.
    TrackPopupMenu(menu.popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0,
                   control, nullptr);
}

bool KeyDown(int virtualKey) { return GetKeyState(virtualKey) < 0; }

// A shortcut of the menu: runs its command and remembers the WM_CHAR the same
// keystroke will bring, which the edit must not see as a key press.
bool RunShortcut(EditMenu& menu, HWND control, WPARAM key) {
    const EditMenuItem* item = FindEditShortcut(static_cast<int>(key), KeyDown(VK_CONTROL),
                                                KeyDown(VK_SHIFT), KeyDown(VK_MENU));
    menu.shortcutWindow = item ? control : nullptr;
    menu.shortcutChar = item ? static_cast<unsigned char>(item->controlChar) : 0;
    menu.shortcutChangesText = item && item->changesText;
    if (!item) return false;
    RunCommand(item->command);
    return true;
}

bool SwallowShortcutChar(EditMenu& menu, HWND control, WPARAM character) {
    if (menu.shortcutChar == 0 || menu.shortcutWindow != control || character != menu.shortcutChar)
        return false;
    menu.shortcutChar = 0;
    return true;
}

void Forget(EditMenu& menu, HWND control) {
    menu.controls.erase(std::remove(menu.controls.begin(), menu.controls.end(), control),
                        menu.controls.end());
    if (menu.shortcutWindow == control) menu.shortcutWindow = nullptr;
}

LRESULT CALLBACK EditMenuProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                              UINT_PTR id, DWORD_PTR data) {
    EditMenu& menu = *reinterpret_cast<EditMenu*>(data);
    switch (message) {
        case WM_CONTEXTMENU:
            ShowMenu(menu, control, lParam);
            return 0;
        case WM_INITMENUPOPUP:
            if (reinterpret_cast<HMENU>(wParam) != menu.popup) break;
            EnableItems(menu);
            return 0;
        case WM_COMMAND:
            // Only menu items (notification code 0, no control) are ours.
            if (HIWORD(wParam) != 0 || lParam != 0) break;
            if (const EditMenuItem* item = FindEditMenuItem(LOWORD(wParam))) {
                RunCommand(item->command);
                return 0;
            }
            if (FindExtraRow(menu, LOWORD(wParam)) && menu.extras.run) {
                menu.extras.run(LOWORD(wParam));
                return 0;
            }
            break;
        case WM_KEYDOWN:
            if (RunShortcut(menu, control, wParam)) return 0;
            break;
        case WM_CHAR:
            if (SwallowShortcutChar(menu, control, wParam)) {
                if (menu.onShortcutKey && menu.shortcutChangesText) menu.onShortcutKey(control);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            Forget(menu, control);
            RemoveWindowSubclass(control, EditMenuProc, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

EditMenu* CreateEditMenu(EditShortcutObserver onShortcutKey, EditMenuExtras extras) {
    auto* menu = new (std::nothrow) EditMenu;
    if (!menu) return nullptr;
    menu->onShortcutKey = std::move(onShortcutKey);
    menu->extras = std::move(extras);
    menu->popup = CreatePopupMenu();
    if (!menu->popup) {
        delete menu;
        return nullptr;
    }
    for (const EditMenuItem& item : kEditMenuItems) {
        if (item.command == EditCommand::None) {
            AppendMenuA(menu->popup, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        char caption[256];
        std::snprintf(caption, sizeof caption, "%s\t%s", LocString(item.stringId),
                      item.shortcutText);
        AppendMenuA(menu->popup, MF_STRING, static_cast<UINT_PTR>(item.commandId), caption);
    }
    if (menu->extras.count > 0) AppendMenuA(menu->popup, MF_SEPARATOR, 0, nullptr);
    for (std::size_t i = 0; i < menu->extras.count; ++i) {
        const EditMenuExtraRow& row = menu->extras.rows[i];
        AppendMenuA(menu->popup, MF_STRING, static_cast<UINT_PTR>(row.commandId),
                    LocString(row.stringId));
    }
    return menu;
}

void AttachEditMenu(EditMenu* menu, HWND control, std::uint32_t flags) {
    if (!menu || !control || !IsEditControl(control)) return;
    try {
        menu->controls.reserve(menu->controls.size() + 1);
    } catch (const std::bad_alloc&) {
        return;
    }
    SetWindowLongPtrA(control, GWLP_USERDATA, static_cast<LONG_PTR>(flags));
    DWORD_PTR previous = 0;
    if (GetWindowSubclass(control, EditMenuProc, kEditMenuSubclassId, &previous)) {
        Forget(*reinterpret_cast<EditMenu*>(previous), control);
    }
    if (SetWindowSubclass(control, EditMenuProc, kEditMenuSubclassId,
                          reinterpret_cast<DWORD_PTR>(menu))) {
        menu->controls.push_back(control);
    }
}

void DestroyEditMenu(EditMenu* menu) {
    if (!menu) return;
    // Edits that outlive the menu go back to their own handling.
    for (HWND control : menu->controls) {
        if (IsWindow(control)) RemoveWindowSubclass(control, EditMenuProc, kEditMenuSubclassId);
    }
    if (menu->popup) DestroyMenu(menu->popup);
    delete menu;
}

}  // namespace ionsift
