// The edit-control context menu on real EDIT controls with the real
// clipboard: the popup's items and enabling as it opens, the filtered paste
// of each flag set, Delete and Select all, and the shortcuts.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/win/user_locale.h"
#include "ui/form/dlg_popup_win.h"
#include "ui/form/edit_menu_items.h"
#include "text/separators.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

int CommandId(EditCommand command) {
    for (const EditMenuItem& item : kEditMenuItems) {
        if (item.command == command) return item.commandId;
    }
    return 0;
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::pair<DWORD, DWORD> SelectionOf(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

void SetClipboardText(HWND owner, const std::string& text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

void EmptyTheClipboard(HWND owner) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    CloseClipboard();
}

std::string ClipboardText(HWND owner) {
    std::string text;
    if (!OpenClipboard(owner)) return "<clipboard busy>";
    if (const HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// What a popup menu showed while it was open.
struct MenuSnapshot {
    bool opened = false;
    std::vector<std::string> captions;
    std::vector<UINT> ids;
    std::vector<bool> enabled;
    std::vector<bool> separator;
};
MenuSnapshot g_snapshot;

// Runs inside the menu's modal loop: reads the open popup, then closes it.
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR, DWORD) {
    const HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow) || g_snapshot.opened) return;
    const HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char caption[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), caption, sizeof caption, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        g_snapshot.captions.push_back(caption);
        g_snapshot.ids.push_back(GetMenuItemID(menu, i));
        g_snapshot.enabled.push_back(!(state & (MF_GRAYED | MF_DISABLED)));
        g_snapshot.separator.push_back((state & MF_SEPARATOR) != 0);
    }
    g_snapshot.opened = true;
    EndMenu();
}

// Opens the control's context menu as a right click (or, with -1, the
// keyboard) would, and returns what it showed.
MenuSnapshot OpenContextMenu(HWND control, LPARAM where) {
    g_snapshot = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, ReadOpenMenu);
    SendMessageA(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), where);
    KillTimer(nullptr, timer);
    PumpMessages();
    return g_snapshot;
}

// Stands for the main window's own subclass, installed before the menu's:
// records the characters its key handlers would get.
LRESULT CALLBACK RecordChars(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR data) {
    if (message == WM_CHAR) reinterpret_cast<std::string*>(data)->push_back(static_cast<char>(wParam));
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

class EditMenuTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t kExData = 0x23, kRealEdit = 0x21, kMaxResults = 0x41;

    void SetUp() override {
        ReadUserDecimalSeparator();
        separator = LocaleDecimalSeparator();
        ASSERT_EQ(separator, wintest::RegisteredSeparator());

        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = PlainWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "EditMenuTestWindow";
        RegisterClassA(&windowClass);
        form = CreateWindowExA(0, "EditMenuTestWindow", "edit menu", WS_OVERLAPPEDWINDOW,
                               100, 100, 500, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(form);
        mass = Child("EDIT", ES_AUTOHSCROLL, 10);
        maxResults = Child("EDIT", ES_AUTOHSCROLL, 40);
        exData = Child("EDIT", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 70);
        unfiltered = Child("EDIT", ES_AUTOHSCROLL, 160);
        button = Child("BUTTON", BS_PUSHBUTTON, 190);
        SetWindowSubclass(maxResults, RecordChars, 1, reinterpret_cast<DWORD_PTR>(&charsSeen));

        menu = CreateEditMenu();
        ASSERT_NE(menu, nullptr);
        AttachEditMenu(menu, exData, kExData);
        AttachEditMenu(menu, mass, kRealEdit);
        AttachEditMenu(menu, maxResults, kMaxResults);
        AttachEditMenu(menu, unfiltered, 0);
        AttachEditMenu(menu, button, kRealEdit);
        SetForegroundWindow(form);
        PumpMessages();
    }

    void TearDown() override {
        DestroyEditMenu(menu);
        if (form) DestroyWindow(form);
        PumpMessages();
    }

    HWND Child(const char* className, DWORD style, int top) {
        return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | WS_BORDER | style, 10, top,
                               400, style & ES_MULTILINE ? 80 : 24, form, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }

    // Focus the edit with the text and selection given, as the user left it.
    void Prepare(HWND edit, const char* text, int start, int end) {
        SetFocus(edit);
        SetWindowTextA(edit, text);
        SendMessageA(edit, EM_SETSEL, start, end);
    }

    void Choose(HWND edit, EditCommand command) {
        // TrackPopupMenu posts the chosen item to the edit, its owner.
        SendMessageA(edit, WM_COMMAND, MAKEWPARAM(CommandId(command), 0), 0);
    }

    std::string WithSeparator(const char* text) {
        std::string converted = text;
        ToLocalSeparator(converted, separator);
        return converted;
    }

    void PressShortcut(HWND edit, WPARAM key, bool control, WPARAM character) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        // What TranslateMessage leaves in the queue for Ctrl+key.
        PostMessageA(edit, WM_KEYDOWN, key, 1);
        if (character) PostMessageA(edit, WM_CHAR, character, 1);
        PumpMessages();
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }

    char separator = '.';
    HWND form = nullptr, mass = nullptr, maxResults = nullptr, exData = nullptr;
    HWND unfiltered = nullptr, button = nullptr;
    EditMenu* menu = nullptr;
    std::string charsSeen;
};

TEST_F(EditMenuTest, ThePopupListsTheSixItemsWithShortcutsAndTwoSeparators) {
    Prepare(mass, "150", 3, 3);
    const MenuSnapshot shown = OpenContextMenu(mass, MAKELPARAM(150, 120));
    ASSERT_TRUE(shown.opened);
    const std::vector<std::string> captions = {"&Undo\tCtrl+Z", "", "Cu&t\tCtrl+X", "&Copy\tCtrl+C",
                                               "&Paste\tCtrl+V", "&Delete\tDel", "", "&Select all\tCtrl+A"};
    EXPECT_EQ(shown.captions, captions);
    EXPECT_TRUE(shown.separator[1]);
    EXPECT_TRUE(shown.separator[6]);
    EXPECT_EQ(shown.ids[0], static_cast<UINT>(CommandId(EditCommand::Undo)));
    EXPECT_EQ(shown.ids[7], static_cast<UINT>(CommandId(EditCommand::SelectAll)));
}

TEST_F(EditMenuTest, AnEmptyEditEnablesOnlyPasteWhenTheClipboardHoldsText) {
    Prepare(mass, "", 0, 0);
    SetClipboardText(form, "150.3");
    MenuSnapshot shown = OpenContextMenu(mass, MAKELPARAM(150, 120));
    ASSERT_TRUE(shown.opened);
    const std::vector<bool> onlyPaste = {false, false, false, false, true, false, false, false};
    EXPECT_EQ(shown.enabled, onlyPaste);

    EmptyTheClipboard(form);
    shown = OpenContextMenu(mass, -1);  // from the keyboard this time
    ASSERT_TRUE(shown.opened);
    EXPECT_EQ(shown.enabled, std::vector<bool>(8, false));
}

TEST_F(EditMenuTest, EnablingFollowsTheTextTheSelectionAndUndo) {
    Prepare(mass, "12345", 1, 3);
    EmptyTheClipboard(form);
    MenuSnapshot shown = OpenContextMenu(mass, MAKELPARAM(150, 120));
    ASSERT_TRUE(shown.opened);
    EXPECT_EQ(shown.enabled,
              (std::vector<bool>{false, false, true, true, false, true, false, true}));

    // After a typed key the edit can undo; with everything selected there
    // is nothing more to select.
    SendMessageA(mass, WM_CHAR, '6', 1);
    SendMessageA(mass, EM_SETSEL, 0, -1);
    shown = OpenContextMenu(mass, MAKELPARAM(150, 120));
    ASSERT_TRUE(shown.opened);
    EXPECT_EQ(shown.enabled,
              (std::vector<bool>{true, false, true, true, false, true, false, false}));
}

TEST_F(EditMenuTest, TheMenuActsOnTheEditThatWasRightClicked) {
    Prepare(mass, "150", 0, 3);
    SetWindowTextA(maxResults, "");
    const MenuSnapshot shown = OpenContextMenu(maxResults, MAKELPARAM(150, 150));
    ASSERT_TRUE(shown.opened);
    EXPECT_EQ(GetFocus(), maxResults);
    EXPECT_FALSE(shown.enabled[2]) << "Cut follows the clicked, empty edit";
}

TEST_F(EditMenuTest, MassAndTolerancePasteOneNumberInTheUserSeparator) {
    Prepare(mass, "", 0, 0);
    SetClipboardText(form, "150.3 Da");
    Choose(mass, EditCommand::Paste);
    EXPECT_EQ(TextOf(mass), WithSeparator("150.3"));
    EXPECT_EQ(ClipboardText(form), WithSeparator("150.3")) << "the clipboard keeps the filtered text";
}

TEST_F(EditMenuTest, MaximumPastesDigitsOnly) {
    Prepare(maxResults, "", 0, 0);
    SetClipboardText(form, "-5");
    Choose(maxResults, EditCommand::Paste);
    EXPECT_EQ(TextOf(maxResults), "5");
    Prepare(maxResults, "", 0, 0);
    SetClipboardText(form, "2.5");
    Choose(maxResults, EditCommand::Paste);
    EXPECT_EQ(TextOf(maxResults), "25");
}

TEST_F(EditMenuTest, ExperimentalDataKeepsTabsAndLineBreaks) {
    Prepare(exData, "", 0, 0);
    SetClipboardText(form, "180.0634\t100.0\r\n181.0667\t6.7 %\r\nmass");
    Choose(exData, EditCommand::Paste);
    EXPECT_EQ(TextOf(exData), WithSeparator("180.0634\t100.0\r\n181.0667\t6.7 \r\n"));
}

TEST_F(EditMenuTest, TextWithNothingToPastePastesNothingAndLeavesTheClipboard) {
    for (HWND edit : {mass, maxResults, exData}) {
        Prepare(edit, "7", 1, 1);
        SetClipboardText(form, "abc");
        Choose(edit, EditCommand::Paste);
        EXPECT_EQ(TextOf(edit), "7");
        EXPECT_EQ(ClipboardText(form), "abc");
    }
    // Flags 0: the clipboard goes in as it is.
    Prepare(unfiltered, "", 0, 0);
    Choose(unfiltered, EditCommand::Paste);
    EXPECT_EQ(TextOf(unfiltered), "abc");
    // Nothing on the clipboard: nothing happens.
    EmptyTheClipboard(form);
    Prepare(mass, "7", 1, 1);
    Choose(mass, EditCommand::Paste);
    EXPECT_EQ(TextOf(mass), "7");
}

TEST_F(EditMenuTest, DeleteTakesTheSelectionOrTheNextCharacter) {
    Prepare(mass, "123", 3, 3);
    Choose(mass, EditCommand::Delete);
    EXPECT_EQ(TextOf(mass), "123") << "nothing after the caret at the end";
    SendMessageA(mass, EM_SETSEL, 1, 1);
    Choose(mass, EditCommand::Delete);
    EXPECT_EQ(TextOf(mass), "13");
    SendMessageA(mass, EM_SETSEL, 0, 1);
    Choose(mass, EditCommand::Delete);
    EXPECT_EQ(TextOf(mass), "3");
}

TEST_F(EditMenuTest, SelectAllCopyCutAndUndoGoToTheFocusedEdit) {
    Prepare(mass, "150", 1, 1);
    Choose(mass, EditCommand::SelectAll);
    EXPECT_EQ(SelectionOf(mass), std::make_pair(DWORD{0}, DWORD{3}));
    Choose(mass, EditCommand::Copy);
    EXPECT_EQ(ClipboardText(form), "150");
    SendMessageA(mass, EM_SETSEL, 0, 1);
    Choose(mass, EditCommand::Cut);
    EXPECT_EQ(TextOf(mass), "50");
    EXPECT_EQ(ClipboardText(form), "1");
    Choose(mass, EditCommand::Undo);
    EXPECT_EQ(TextOf(mass), "150");
}

TEST_F(EditMenuTest, ControlVPastesOnceAndIsNoKeyPressForTheEdit) {
    Prepare(maxResults, "", 0, 0);
    SetClipboardText(form, "-5");
    PressShortcut(maxResults, 'V', true, 0x16);
    EXPECT_EQ(TextOf(maxResults), "5") << "filtered, and pasted only once";
    EXPECT_EQ(charsSeen, "") << "the key handlers saw the shortcut";
    // The next typed key reaches them as usual.
    SendMessageA(maxResults, WM_CHAR, '7', 1);
    EXPECT_EQ(charsSeen, "7");
    EXPECT_EQ(TextOf(maxResults), "57");
}

TEST_F(EditMenuTest, ControlAThenDelEmptiesTheEdit) {
    Prepare(maxResults, "12345", 2, 2);
    PressShortcut(maxResults, 'A', true, 0x01);
    EXPECT_EQ(SelectionOf(maxResults), std::make_pair(DWORD{0}, DWORD{5}));
    PressShortcut(maxResults, VK_DELETE, false, 0);
    EXPECT_EQ(TextOf(maxResults), "");
    EXPECT_EQ(charsSeen, "");
}

TEST_F(EditMenuTest, OnlyEditsAreAttached) {
    EXPECT_EQ(GetWindowLongPtrA(button, GWLP_USERDATA), 0);
    EXPECT_EQ(GetWindowLongPtrA(mass, GWLP_USERDATA), static_cast<LONG_PTR>(kRealEdit));
    EXPECT_EQ(GetWindowLongPtrA(exData, GWLP_USERDATA), static_cast<LONG_PTR>(kExData));
}

TEST_F(EditMenuTest, EditsMayGoBeforeTheMenuAndTheMenuBeforeTheEdits) {
    DestroyWindow(mass);
    mass = nullptr;
    DestroyEditMenu(menu);
    menu = CreateEditMenu();
    AttachEditMenu(menu, maxResults, kMaxResults);
    DestroyEditMenu(menu);
    menu = nullptr;
    // The edit is back to its own handling: Ctrl+V pastes unfiltered.
    Prepare(maxResults, "", 0, 0);
    SetClipboardText(form, "-5");
    PressShortcut(maxResults, 'V', true, 0x16);
    EXPECT_EQ(TextOf(maxResults), "-5");
}

}  // namespace
}  // namespace ionsift
