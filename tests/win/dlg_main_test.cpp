// The main tool window of the real Ionsift.dll behind a recording host, with
// a host folder of its own: databases, settings, commands sent, and the
// window driven through messages. Registered under a point and a comma locale.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "tests/win/plugin_harness.h"
#include "tests/win/user_locale.h"
#include "ui/form/edit_menu_items.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;

constexpr int kMainWindowRequest = 101;

struct FormRectLike {
    long left, top, width, height;
    bool operator==(const FormRectLike& o) const {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

std::ostream& operator<<(std::ostream& out, const FormRectLike& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(plugin_.Loaded());
        separator_ = UserLocaleSeparator();
        ASSERT_TRUE(SeparatorAsRegistered(separator_)) << "user locale gives " << separator_;
        appWindow_ = CreateHostAppWindow();
        host_.Context().appWindow = appWindow_;
        folder_.UseIn(host_.Context());
        host_.Respond([this](const std::string& command) { return Answer(command); });
        plugin_.Init(host_.Context());
    }
    void TearDown() override {
        Free();
        DestroyWindow(appWindow_);
    }

    HostAnswer Answer(const std::string& command) {
        if (command.rfind("DbOpen ", 0) == 0) {
            if (command.find("broken") != std::string::npos) return {1, "0 unable to open"};
            return {0, "H" + std::to_string(++opened_)};
        }
        if (command.rfind("messagebox ", 0) == 0) return {0, "1"};
        return {0, ""};
    }

    HWND Open() {
        EXPECT_EQ(plugin_.Call(kMainWindowRequest), 1);
        if (host_.OpenedWindows().empty()) return nullptr;
        main_ = host_.OpenedWindows().back();
        return main_;
    }
    void Free() {
        if (freed_) return;
        freed_ = true;
        plugin_.Free();
    }

    HWND Item(int id) const { return FindControl(main_, id); }
    std::string TextOf(int id) const {
        char text[512] = {};
        GetWindowTextA(Item(id), text, sizeof text);
        return text;
    }
    FormRectLike BoundsOf(int id) const {
        RECT rect{};
        GetWindowRect(Item(id), &rect);
        MapWindowPoints(HWND_DESKTOP, GetParent(Item(id)), reinterpret_cast<POINT*>(&rect), 2);
        return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        const int count = static_cast<int>(SendMessageA(Item(CB_Database), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            SendMessageA(Item(CB_Database), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    int Selected() const {
        return static_cast<int>(SendMessageA(Item(CB_Database), CB_GETCURSEL, 0, 0));
    }
    int IndexOf(const std::string& entry) const {
        const std::vector<std::string> entries = Entries();
        const auto found = std::find(entries.begin(), entries.end(), entry);
        return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
    }
    // As the user does it: the selection changes, then the list tells its parent.
    void Pick(int index) const {
        HWND selector = Item(CB_Database);
        SendMessageA(selector, CB_SETCURSEL, index, 0);
        SendMessageA(GetParent(selector), WM_COMMAND, MAKEWPARAM(CB_Database, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(selector));
    }
    void Pick(const std::string& entry) const { Pick(IndexOf(entry)); }
    void Type(int id, const std::string& keys) const {
        for (char key : keys) SendMessageA(Item(id), WM_CHAR, static_cast<unsigned char>(key), 1);
    }
    void ClearText(int id) const { SetWindowTextA(Item(id), ""); }
    bool SearchEnabled() const { return IsWindowEnabled(Item(BT_Search)) != FALSE; }
    static bool PutOnClipboard(const std::string& text) {
        if (!OpenClipboard(nullptr)) return false;
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        const bool put = SetClipboardData(CF_TEXT, memory) != nullptr;
        CloseClipboard();
        return put;
    }
    // Ctrl+key as the edit receives it: the key going down, then the control
    // character that translating it brings.
    void PressControlKey(int id, WPARAM key, WPARAM character) const {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        SendMessageA(Item(id), WM_KEYDOWN, key, 1);
        SendMessageA(Item(id), WM_CHAR, character, 1);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    std::vector<std::string> CommandsSince(std::size_t mark) const {
        const auto& all = host_.Commands();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(mark, all.size())), all.end()};
    }
    std::string Setting(const char* key) const {
        char value[256] = {};
        GetPrivateProfileStringA("Ionsift", key, "<none>", value, sizeof value,
                                 folder_.SettingsPath().c_str());
        return value;
    }
    std::string Local(std::string text) const {
        std::replace(text.begin(), text.end(), '.', separator_);
        return text;
    }
    std::string DbOpenOf(const std::string& name) const {
        return "DbOpen \"" + folder_.Path() + "Data\\Databases\\" + name + ".db\"";
    }

    RecordingHost host_;
    TempHostFolder folder_{{"aspirin", "natural", "broken"}};
    Plugin plugin_;
    HWND appWindow_ = nullptr;
    HWND main_ = nullptr;
    char separator_ = '.';
    int opened_ = 0;
    bool freed_ = false;
};

TEST_F(MainWindow, FreshInstallShowsTheDefaultsAndNoSearch) {
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_EQ(host_.Commands(), std::vector<std::string>{"<window opened>"}) << "nothing opened";

    const std::vector<std::string> entries = Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0], "Choose the database");
    EXPECT_EQ(std::set<std::string>(entries.begin() + 1, entries.end()),
              (std::set<std::string>{"aspirin", "natural", "broken"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(TextOf(STR_Mass), "");
    EXPECT_EQ(TextOf(STR_Ppm), "2");
    EXPECT_EQ(TextOf(STR_MaxResults), "200");
    EXPECT_FALSE(SearchEnabled());
    EXPECT_FALSE(IsWindowEnabled(Item(BT_ExUpdate))) << "no peaks typed";

    Free();
    EXPECT_EQ(host_.ClosedWindows(), std::vector<HWND>{main_});
    EXPECT_EQ(folder_.ReadSettings(), "") << "nothing changed, nothing written";
}

TEST_F(MainWindow, LayoutCaptionsAndWindowKind) {
    ASSERT_NE(Open(), nullptr);
    RECT client{};
    GetClientRect(main_, &client);
    EXPECT_EQ(client.right, 705);
    EXPECT_EQ(client.bottom, 440);
    EXPECT_TRUE(GetWindowLongA(main_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(main_, GW_OWNER), appWindow_);
    EXPECT_NE(SendMessageA(main_, WM_GETICON, ICON_BIG, 0), 0);

    char caption[128] = {};
    GetWindowTextA(main_, caption, sizeof caption);
    EXPECT_STREQ(caption, "Mass spectrometry tool");
    EXPECT_EQ(TextOf(GRP_Param), "Search options");
    EXPECT_EQ(TextOf(BT_Search), "&Search");
    EXPECT_EQ(TextOf(LBL_PlusMinus), "\xB1");
    EXPECT_EQ(TextOf(LBL_FoundNumVal), "0");
    EXPECT_EQ(BoundsOf(GRP_IsoChart), (FormRectLike{384, 156, 305, 249}));
    EXPECT_EQ(BoundsOf(STR_Ppm), (FormRectLike{240, 48, 65, 21}));
    const FormRectLike found = BoundsOf(LBL_FoundNum);
    EXPECT_EQ(found.left + found.width, 309) << "right-aligned: the right edge stays";
    EXPECT_EQ(BoundsOf(SB_Status), (FormRectLike{0, 421, 705, 19}));
    int edges[4] = {};
    EXPECT_EQ(SendMessageA(Item(SB_Status), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 1);
    EXPECT_EQ(edges[0], 50);

    HWND list = Item(LV_Results);
    const char* headers[] = {"Mass", "Formula", "Name"};
    const int widths[] = {80, 120, 200};
    for (int i = 0; i < 3; ++i) {
        char text[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(text, headers[i]);
        EXPECT_EQ(column.cx, widths[i]);
    }

    // Tab order among the search options.
    std::vector<int> tabOrder;
    for (HWND child = GetWindow(Item(GRP_Param), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) tabOrder.push_back(GetDlgCtrlID(child));
    }
    EXPECT_EQ(tabOrder, (std::vector<int>{CB_Database, STR_Mass, STR_Ppm, BT_Search, BT_Default,
                                          STR_MaxResults}));
}

TEST_F(MainWindow, SavedSettingsAreRestoredAndTheSavedDatabaseOpensOnce) {
    const std::string saved =
        "[Ionsift]\r\nDATABASE=NATURAL\r\nMASS=180.063\r\nMAXRESULTS=50\r\nPPM=2.5\r\n";
    folder_.WriteSettings(saved);
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(host_.Commands(), (std::vector<std::string>{"<window opened>", DbOpenOf("natural")}));
    EXPECT_EQ(Entries()[Selected()], "natural");
    EXPECT_EQ(TextOf(STR_Mass), Local("180.063"));
    EXPECT_EQ(TextOf(STR_MaxResults), "50");
    EXPECT_EQ(TextOf(STR_Ppm), Local("2.5"));
    EXPECT_TRUE(SearchEnabled());

    // Shown again while open: the same window, nothing sent.
    const std::size_t mark = host_.Commands().size();
    EXPECT_EQ(plugin_.Call(kMainWindowRequest), 1);
    EXPECT_EQ(host_.OpenedWindows().size(), 1u);
    EXPECT_TRUE(CommandsSince(mark).empty());

    Free();
    EXPECT_EQ(folder_.ReadSettings(), saved) << "opening the window changed nothing";
}

TEST_F(MainWindow, SwitchingClosesTheOpenDatabaseThenOpensTheNewOne) {
    ASSERT_NE(Open(), nullptr);
    Pick("aspirin");
    std::size_t mark = host_.Commands().size();
    Pick("natural");
    EXPECT_EQ(CommandsSince(mark), (std::vector<std::string>{"DbClose H1", DbOpenOf("natural")}));

    // Picking the recorded entry again sends nothing.
    mark = host_.Commands().size();
    Pick("natural");
    EXPECT_TRUE(CommandsSince(mark).empty());

    // The prompt closes without opening.
    Pick(0);
    EXPECT_EQ(CommandsSince(mark), std::vector<std::string>{"DbClose H2"});
    EXPECT_FALSE(SearchEnabled());

    Free();
    EXPECT_EQ(Setting("DATABASE"), "None") << "a choice counts as a change";
}

TEST_F(MainWindow, FailedOpenFallsBackToThePromptAndRepickingSendsNothing) {
    ASSERT_NE(Open(), nullptr);
    Pick("broken");
    EXPECT_EQ(host_.Commands().back(), DbOpenOf("broken"));
    EXPECT_EQ(Selected(), 0);
    EXPECT_FALSE(SearchEnabled());
    const std::size_t mark = host_.Commands().size();
    Pick("broken");
    EXPECT_TRUE(CommandsSince(mark).empty()) << "the failed name is still the recorded one";
}

TEST_F(MainWindow, MaximumOfOneKeepsTheSearchDisabledTwoEnablesIt) {
    ASSERT_NE(Open(), nullptr);
    Pick("aspirin");
    Type(STR_Mass, "180.5");
    EXPECT_TRUE(SearchEnabled());
    ClearText(STR_MaxResults);
    Type(STR_MaxResults, "1");
    EXPECT_FALSE(SearchEnabled());
    Type(STR_MaxResults, "\b2");
    EXPECT_EQ(TextOf(STR_MaxResults), "2");
    EXPECT_TRUE(SearchEnabled());
    ClearText(STR_Ppm);
    EXPECT_FALSE(SearchEnabled()) << "empty tolerance";
}

TEST_F(MainWindow, KeysFollowTheFiltersAndTheUsersSeparator) {
    ASSERT_NE(Open(), nullptr);
    Type(STR_Mass, "+12.5.3x-");
    EXPECT_EQ(TextOf(STR_Mass), "+12" + std::string(1, separator_) + "53")
        << "'.' becomes the separator once; a second one, letters and '-' are refused";
    ClearText(STR_Ppm);
    Type(STR_Ppm, "-3,1");
    EXPECT_EQ(TextOf(STR_Ppm), separator_ == ',' ? "3,1" : "31");
    ClearText(STR_MaxResults);
    Type(STR_MaxResults, "+-4.0");
    EXPECT_EQ(TextOf(STR_MaxResults), "40");

    Free();
    // A key press is a change: the settings are written, reals with a point.
    EXPECT_EQ(Setting("MASS"), "+12.53");
    EXPECT_EQ(Setting("PPM"), separator_ == ',' ? "3.1" : "31");
    EXPECT_EQ(Setting("MAXRESULTS"), "40");
    EXPECT_EQ(Setting("DATABASE"), "None");
}

TEST_F(MainWindow, ResetKeepsTheOpenDatabaseAndTheCount) {
    ASSERT_NE(Open(), nullptr);
    Pick("natural");
    Type(STR_Mass, "250");
    ClearText(STR_MaxResults);
    Type(STR_MaxResults, "30");
    Type(ME_ExData, "100 50");
    SetWindowTextA(Item(LBL_FoundNumVal), "12");
    EXPECT_TRUE(IsWindowEnabled(Item(BT_ExUpdate)));

    const std::size_t mark = host_.Commands().size();
    SendMessageA(Item(BT_Default), BM_CLICK, 0, 0);
    EXPECT_EQ(CommandsSince(mark), (std::vector<std::string>{"Cursor Busy", "Cursor Default"}))
        << "no DbClose: the database stays open";
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(TextOf(STR_Mass), "");
    EXPECT_EQ(TextOf(STR_MaxResults), "200");
    EXPECT_EQ(TextOf(STR_Ppm), "2");
    EXPECT_EQ(TextOf(ME_ExData), "");
    EXPECT_EQ(TextOf(LBL_FoundNumVal), "12");
    EXPECT_FALSE(SearchEnabled());
    EXPECT_FALSE(IsWindowEnabled(Item(BT_ExUpdate)));

    // The database open before the reset is still the recorded one.
    Pick("natural");
    EXPECT_EQ(CommandsSince(mark).size(), 2u);
    Free();
    EXPECT_EQ(Setting("MAXRESULTS"), "200");
    EXPECT_EQ(Setting("MASS"), "");
}

TEST_F(MainWindow, WideningSharesTheExtraWidthBetweenTheColumns) {
    ASSERT_NE(Open(), nullptr);
    RECT outer{};
    GetWindowRect(main_, &outer);
    const FormRectLike chart = BoundsOf(GRP_IsoChart), experimental = BoundsOf(GRP_Experimental),
                       param = BoundsOf(GRP_Param), results = BoundsOf(GRP_Results),
                       options = BoundsOf(PN_Options), update = BoundsOf(BT_ExUpdate);

    SetWindowPos(main_, nullptr, 0, 0, outer.right - outer.left + 101, outer.bottom - outer.top + 40,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(BoundsOf(GRP_IsoChart),
              (FormRectLike{chart.left + 50, chart.top, chart.width + 50, chart.height + 40}));
    EXPECT_EQ(BoundsOf(GRP_Experimental), (FormRectLike{experimental.left + 50, experimental.top,
                                                        experimental.width + 50, experimental.height}));
    EXPECT_EQ(BoundsOf(GRP_Param), (FormRectLike{param.left, param.top, param.width + 50, param.height}));
    EXPECT_EQ(BoundsOf(GRP_Results),
              (FormRectLike{results.left, results.top, results.width + 50, results.height + 40}));
    EXPECT_EQ(BoundsOf(PN_Options).width, options.width + 101);
    EXPECT_EQ(BoundsOf(BT_ExUpdate).left, update.left + 50) << "anchored to its group's right";

    MINMAXINFO limits{};
    SendMessageA(main_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, outer.right - outer.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, outer.bottom - outer.top - 80);
}

TEST_F(MainWindow, MinimizingAndRestoringKeepsTheLayout) {
    ASSERT_NE(Open(), nullptr);
    const FormRectLike results = BoundsOf(GRP_Results), chart = BoundsOf(GRP_IsoChart),
                       list = BoundsOf(LV_Results);
    ShowWindow(main_, SW_MINIMIZE);
    ShowWindow(main_, SW_RESTORE);
    EXPECT_EQ(BoundsOf(GRP_Results), results);
    EXPECT_EQ(BoundsOf(GRP_IsoChart), chart);
    EXPECT_EQ(BoundsOf(LV_Results), list);
}

TEST_F(MainWindow, PasteFromTheEditMenuAloneIsNoChange) {
    ASSERT_NE(Open(), nullptr);
    ASSERT_TRUE(PutOnClipboard("150.3 Da"));

    int paste = 0;
    for (const EditMenuItem& item : kEditMenuItems) {
        if (item.command == EditCommand::Paste) paste = item.commandId;
    }
    SetFocus(Item(STR_Mass));
    // What choosing the item with the mouse sends.
    SendMessageA(Item(STR_Mass), WM_COMMAND, MAKEWPARAM(paste, 0), 0);
    EXPECT_EQ(TextOf(STR_Mass), Local("150.3"));
    Free();
    EXPECT_EQ(folder_.ReadSettings(), "");
}

// Regression: a value pasted with Ctrl+V was lost at Free, the shortcut
// counting as no key press.
TEST_F(MainWindow, ControlVInAnInputIsAKeyPressAndTheValueIsSaved) {
    ASSERT_NE(Open(), nullptr);
    ASSERT_TRUE(PutOnClipboard("150.3 Da"));
    SetFocus(Item(STR_Mass));
    PressControlKey(STR_Mass, 'V', 0x16);
    EXPECT_EQ(TextOf(STR_Mass), Local("150.3")) << "filtered, and pasted once";
    Free();
    EXPECT_EQ(Setting("MASS"), "150.3");
    EXPECT_EQ(Setting("PPM"), "2");
}

TEST_F(MainWindow, ClosingHidesAndTheNextRequestRereadsTheCatalogue) {
    ASSERT_NE(Open(), nullptr);
    Pick("natural");
    SendMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_FALSE(IsWindowVisible(main_));
    EXPECT_TRUE(host_.ClosedWindows().empty()) << "hiding calls no callback";

    folder_.AddDatabase("zeta");
    const std::size_t mark = host_.Commands().size();
    EXPECT_EQ(plugin_.Call(kMainWindowRequest), 1);
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_EQ(host_.OpenedWindows().size(), 1u) << "the same window";
    EXPECT_NE(IndexOf("zeta"), -1);
    EXPECT_EQ(Entries()[Selected()], "natural");
    EXPECT_TRUE(CommandsSince(mark).empty()) << "a later show sends nothing";
}

// The host's message loop knows nothing of dialog keys; Tab still moves on.
TEST_F(MainWindow, TabMovesThroughTheSearchOptionsInTheHostsLoop) {
    ASSERT_NE(Open(), nullptr);
    SetForegroundWindow(main_);
    SetFocus(Item(STR_Mass));
    ASSERT_EQ(GetFocus(), Item(STR_Mass));
    auto pressTab = [&] {
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        PostMessageA(GetFocus(), WM_KEYUP, VK_TAB, 0xC0000001);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    };
    pressTab();
    EXPECT_EQ(GetFocus(), Item(STR_Ppm));
    pressTab();  // the search button is disabled: skipped
    EXPECT_EQ(GetFocus(), Item(BT_Default));
    EXPECT_EQ(TextOf(STR_Ppm), "2") << "the Tab reached no edit as a character";
}

}  // namespace
}  // namespace ionsift::wintest
