// The about box through the real Ionsift.dll: request 1 runs it modally, so
// each test acts on it from a timer that fires inside the box's own loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "resources/dlg_about_ids.h"
#include "tests/win/plugin_harness.h"
#include "version.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_about;

enum class Leave { ClickOk, PressEnter, PressEscape, CloseByTitle };

struct ModalVisit {
    std::function<void(HWND)> inspect;
    Leave leave = Leave::ClickOk;
    HWND seen = nullptr;
};
ModalVisit* visit = nullptr;

// The about box among the thread's windows: the tool window is a form too.
BOOL CALLBACK FindVisibleAboutBox(HWND window, LPARAM found) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && std::string(name) == "IonsiftForm" &&
        GetDlgItem(window, BT_Ok)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND about = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindVisibleAboutBox, reinterpret_cast<LPARAM>(&about));
    if (!about) return;
    KillTimer(nullptr, timer);
    visit->seen = about;
    if (visit->inspect) visit->inspect(about);
    HWND ok = GetDlgItem(about, BT_Ok);
    switch (visit->leave) {
        case Leave::ClickOk:
            SendMessageA(ok, BM_CLICK, 0, 0);
            break;
        case Leave::PressEnter:
        case Leave::PressEscape: {
            // Through the message queue, as typed keys arrive.
            const WPARAM key = visit->leave == Leave::PressEnter ? VK_RETURN : VK_ESCAPE;
            SetFocus(ok);
            PostMessageA(ok, WM_KEYDOWN, key, 1);
            PostMessageA(ok, WM_KEYUP, key, 0xC0000001);
            break;
        }
        case Leave::CloseByTitle:
            PostMessageA(about, WM_CLOSE, 0, 0);
            break;
    }
}

std::string TextOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(plugin_.Loaded());
        hostWindow_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                      120, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hostWindow_, nullptr);
        host_.Context().appWindow = hostWindow_;
        host_.Context().mainWindow = hostWindow_;
        plugin_.Init(host_.Context());
    }
    void TearDown() override {
        plugin_.Free();
        DestroyWindow(hostWindow_);
    }

    // Request 1, leaving the box the given way once it is up.
    HWND ShowAbout(Leave leave, std::function<void(HWND)> inspect = {}) {
        ModalVisit current{std::move(inspect), leave};
        visit = &current;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, OnTimer);
        EXPECT_EQ(plugin_.Call(1), 1);
        KillTimer(nullptr, timer);
        visit = nullptr;
        return current.seen;
    }

    // Where the box must be: centred over the host window, halves rounded down.
    POINT CentredOverHost(HWND about) const {
        RECT host{}, box{};
        GetWindowRect(hostWindow_, &host);
        GetWindowRect(about, &box);
        const int width = box.right - box.left, height = box.bottom - box.top;
        auto half = [](int value) { return value >= 0 ? value / 2 : -((-value + 1) / 2); };
        return {host.left + half(host.right - host.left - width),
                host.top + half(host.bottom - host.top - height)};
    }

    RecordingHost host_;
    Plugin plugin_;
    HWND hostWindow_ = nullptr;
};

TEST_F(AboutBox, FirstRequestShowsTheBoxModallyAndOkNotifiesTheHost) {
    bool ownerDisabled = false;
    RECT client{};
    LONG style = 0;
    HWND owner = nullptr;
    std::string caption, title, version, ok, description;
    HANDLE logo = nullptr;
    SIZE versionText{};
    RECT versionLabel{};
    const HWND about = ShowAbout(Leave::ClickOk, [&](HWND box) {
        ownerDisabled = !IsWindowEnabled(hostWindow_);
        GetClientRect(box, &client);
        style = GetWindowLongA(box, GWL_STYLE);
        owner = GetWindow(box, GW_OWNER);
        caption = TextOf(box);
        ok = TextOf(GetDlgItem(box, BT_Ok));
        title = TextOf(FindControl(box, LBL_Title));
        version = TextOf(FindControl(box, LBL_Version));
        const HWND label = FindControl(box, LBL_Version);
        GetClientRect(label, &versionLabel);
        const HDC dc = GetDC(label);
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32A(dc, version.c_str(), static_cast<int>(version.size()), &versionText);
        ReleaseDC(label, dc);
        description = TextOf(FindControl(box, LBL_Desc));
        logo = reinterpret_cast<HANDLE>(
            SendMessageA(FindControl(box, IMG_Logo), STM_GETICON, 0, 0));
    });
    ASSERT_NE(about, nullptr) << "no about box came up";
    EXPECT_TRUE(ownerDisabled) << "modal: the host window is disabled while the box is up";
    EXPECT_EQ(owner, hostWindow_);
    EXPECT_EQ(client.right, 462);
    EXPECT_EQ(client.bottom, 187);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "a fixed dialog frame";
    EXPECT_EQ(caption, "About Ionsift");
    EXPECT_EQ(ok, "&Ok");
    EXPECT_EQ(title, "Ionsift");
    EXPECT_EQ(version, IONSIFT_VERSION) << "the release's version, as VERSION gives it";
    EXPECT_GE(versionLabel.right, versionText.cx) << "the whole version shows";
    EXPECT_EQ(description, "Mass spectrometry plug-in for Corvane");
    EXPECT_NE(logo, nullptr);

    EXPECT_EQ(host_.Commands(), (std::vector<std::string>{"<window opened>", "<window closed>"}));
    EXPECT_EQ(host_.OpenedWindows(), std::vector<HWND>{about});
    EXPECT_EQ(host_.ClosedWindows(), std::vector<HWND>{about});
    EXPECT_TRUE(IsWindow(about)) << "OK hides the box, it is not destroyed";
    EXPECT_FALSE(IsWindowVisible(about));
    EXPECT_TRUE(IsWindowEnabled(hostWindow_));
}

TEST_F(AboutBox, LaterRequestsReuseTheBoxRecentredAndOnlyOkNotifies) {
    const HWND first = ShowAbout(Leave::CloseByTitle);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(host_.Commands(), std::vector<std::string>{"<window opened>"})
        << "closing by the title bar sends no window-closed";

    SetWindowPos(hostWindow_, nullptr, 300, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    POINT expected{}, placed{};
    const HWND second = ShowAbout(Leave::PressEscape, [&](HWND box) {
        expected = CentredOverHost(box);
        RECT rect{};
        GetWindowRect(box, &rect);
        placed = {rect.left, rect.top};
    });
    EXPECT_EQ(second, first) << "one box for every request";
    EXPECT_EQ(placed.x, expected.x);
    EXPECT_EQ(placed.y, expected.y);

    const HWND third = ShowAbout(Leave::PressEnter);
    EXPECT_EQ(third, first);
    EXPECT_EQ(host_.Commands(), (std::vector<std::string>{"<window opened>", "<window closed>"}))
        << "one window-opened in all; Escape is no OK, Enter presses OK";
}

// Above everything else on the z-order below it.
bool Above(HWND upper, HWND lower) {
    for (HWND below = GetWindow(upper, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT)) {
        if (below == lower) return true;
    }
    return false;
}

TEST_F(AboutBox, ShowsAboveTheStayOnTopToolWindowWhichWaitsForIt) {
    plugin_.Call(101);
    ASSERT_FALSE(host_.OpenedWindows().empty());
    const HWND tool = host_.OpenedWindows().front();
    ASSERT_TRUE(IsWindowVisible(tool));

    bool toolEnabled = true, aboutAbove = false;
    const HWND about = ShowAbout(Leave::ClickOk, [&](HWND box) {
        toolEnabled = IsWindowEnabled(tool) != FALSE;
        aboutAbove = Above(box, tool);
    });
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(aboutAbove) << "the tool window would cover the box the host waits for";
    EXPECT_FALSE(toolEnabled) << "the tool window waits while the box is up";
    EXPECT_TRUE(IsWindowEnabled(tool));
    EXPECT_TRUE(IsWindowVisible(tool));
}

TEST_F(AboutBox, FreeTakesTheBoxAwayBeforeTheLibraryGoes) {
    const HWND about = ShowAbout(Leave::ClickOk);
    ASSERT_TRUE(IsWindow(about));
    plugin_.Free();
    EXPECT_FALSE(IsWindow(about));
    plugin_.Init(host_.Context());  // for TearDown's Free
}

}  // namespace
}  // namespace ionsift::wintest
