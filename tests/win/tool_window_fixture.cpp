#include "tests/win/tool_window_fixture.h"

#include <commctrl.h>

#include <algorithm>

#include "resources/dlg_main_ids.h"
#include "tests/win/user_locale.h"

namespace ionsift::wintest {
namespace {

constexpr int kMainWindowRequest = 101;

// A timer callback gets no pointer of ours, so the menu it reads goes here.
MenuItems g_menu;

void ReadItem(HMENU menu, int position) {
    const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
    char caption[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), caption, sizeof caption, MF_BYPOSITION);
    g_menu.rows.push_back(state & MF_SEPARATOR ? "-" : caption);
    if (state & MF_SEPARATOR) return;
    g_menu.ids.push_back(GetMenuItemID(menu, position));
    g_menu.enabled.push_back(!(state & (MF_GRAYED | MF_DISABLED)));
    g_menu.checked.push_back((state & MF_CHECKED) != 0);
}

// Runs inside the popup's modal loop: reads the open menu, then closes it.
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR, DWORD) {
    const HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow) || g_menu.opened) return;
    const HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const HMENU submenu = GetSubMenu(menu, i);
        if (!submenu) {
            ReadItem(menu, i);
            continue;
        }
        for (int j = 0; j < GetMenuItemCount(submenu); ++j) ReadItem(submenu, j);
    }
    g_menu.opened = true;
    EndMenu();
}

}  // namespace

ToolWindowTest::ToolWindowTest(const std::vector<std::string>& databases) : folder_(databases) {}

void ToolWindowTest::SetUp() {
    ASSERT_TRUE(plugin_.Loaded());
    separator_ = UserLocaleSeparator();
    ASSERT_TRUE(SeparatorAsRegistered(separator_)) << "user locale gives " << separator_;
    appWindow_ = CreateHostAppWindow();
    host_.Context().appWindow = appWindow_;
    folder_.UseIn(host_.Context());
    folder_.WriteSettings(Settings());
    host_.Respond([this](const std::string& command) { return Answer(command); });
    plugin_.Init(host_.Context());
    ASSERT_EQ(plugin_.Call(kMainWindowRequest), 1);
    ASSERT_FALSE(host_.OpenedWindows().empty());
    main_ = host_.OpenedWindows().back();
    list_ = Item(dlg_main::LV_Results);
    ASSERT_NE(list_, nullptr);
}

void ToolWindowTest::TearDown() {
    plugin_.Free();
    DestroyWindow(appWindow_);
}

HostAnswer ToolWindowTest::Answer(const std::string& command) {
    if (command.rfind("DbOpen ", 0) == 0) return {0, "H1"};
    if (command.rfind("DbSqlExec ", 0) == 0) return {0, queryRows_};
    if (command.rfind("messagebox ", 0) == 0) return {0, "1"};
    return {0, ""};
}

std::string ToolWindowTest::TextOf(int id) const {
    char text[4096] = {};
    GetWindowTextA(Item(id), text, sizeof text);
    return text;
}

std::string ToolWindowTest::Local(std::string text) const {
    std::replace(text.begin(), text.end(), '.', separator_);
    return text;
}

void ToolWindowTest::Select(int row) const {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = row >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int ToolWindowTest::RowCount() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::size_t ToolWindowTest::Choose(int id) const {
    const std::size_t mark = host_.Commands().size();
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return mark;
}

std::vector<std::string> ToolWindowTest::CommandsSince(std::size_t mark) const {
    return {host_.Commands().begin() + static_cast<std::ptrdiff_t>(mark), host_.Commands().end()};
}

std::vector<std::string> ToolWindowTest::CommandsLike(std::size_t mark,
                                                      const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& command : CommandsSince(mark)) {
        if (command.rfind(prefix, 0) == 0) found.push_back(command);
    }
    return found;
}

MenuItems ToolWindowTest::ReadPopup(HWND control, POINT at) const {
    g_menu = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, ReadOpenMenu);
    SendMessageA(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control),
                 MAKELPARAM(at.x, at.y));
    KillTimer(nullptr, timer);
    return g_menu;
}

}  // namespace ionsift::wintest
