#include "ui/form/edit_menu_items.h"

namespace ionsift {
namespace {

constexpr int kDeleteKey = 0x2E;  // VK_DELETE

}  // namespace

const EditMenuItem kEditMenuItems[kEditMenuRows] = {
    {EditCommand::Undo, 0x7E01, 45, "Ctrl+Z", 'Z', true, 0x1A, true},
    {EditCommand::None, 0, 0, nullptr, 0, false, 0, false},
    {EditCommand::Cut, 0x7E02, 41, "Ctrl+X", 'X', true, 0x18, true},
    {EditCommand::Copy, 0x7E03, 40, "Ctrl+C", 'C', true, 0x03, false},
    {EditCommand::Paste, 0x7E04, 43, "Ctrl+V", 'V', true, 0x16, true},
    {EditCommand::Delete, 0x7E05, 42, "Del", kDeleteKey, false, 0, true},
    {EditCommand::None, 0, 0, nullptr, 0, false, 0, false},
    {EditCommand::SelectAll, 0x7E06, 44, "Ctrl+A", 'A', true, 0x01, false},
};

const EditMenuItem* FindEditMenuItem(int commandId) {
    for (const EditMenuItem& item : kEditMenuItems) {
        if (item.command != EditCommand::None && item.commandId == commandId) return &item;
    }
    return nullptr;
}

const EditMenuItem* FindEditShortcut(int virtualKey, bool control, bool shift, bool alt) {
    if (shift || alt) return nullptr;
    for (const EditMenuItem& item : kEditMenuItems) {
        if (item.command != EditCommand::None && item.virtualKey == virtualKey &&
            item.withControl == control) {
            return &item;
        }
    }
    return nullptr;
}

bool EditCommandEnabled(EditCommand command, const EditMenuContext& context) {
    const bool hasText = context.length != 0;
    const bool hasSelection = hasText && context.selectionStart != context.selectionEnd;
    switch (command) {
        case EditCommand::Undo:
            return context.canUndo;
        case EditCommand::Cut:
        case EditCommand::Copy:
            return hasSelection;
        case EditCommand::Paste:
            return context.clipboardHasText;
        case EditCommand::Delete:
            return hasText;
        case EditCommand::SelectAll: {
            const bool allSelected =
                context.selectionStart == 0 && context.selectionEnd == context.length;
            return hasText && !allSelected;
        }
        default:
            return false;
    }
}

}  // namespace ionsift
