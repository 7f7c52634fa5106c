// Handlers of the real Ionsift.dll's tool window on paths the other window
// tests leave out: the zoom reset after new data, a distribution without an
// open database, the results popup opened from the keyboard, and the search,
// distribution and Update handlers when memory runs out.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "tests/win/tool_window_fixture.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;

const std::string kOutOfMemory = "messagebox \"Out of memory\" \"Ionsift error:\" 16";
constexpr std::size_t kLargeText = 256 << 10;  // what the handlers copy when it runs short
constexpr std::size_t kFailFrom = 128 << 10;

// The DLL's allocations of kFailFrom bytes or more fail while g_failing is set.
using MallocFn = void*(__cdecl*)(std::size_t);
MallocFn g_malloc = nullptr;
bool g_failing = false;

void* __cdecl FailingMalloc(std::size_t size) {
    if (g_failing && size >= kFailFrom) return nullptr;
    return g_malloc(size);
}

// The chart's client area as drawn.
std::vector<std::uint32_t> Snapshot(HWND chart) {
    RedrawWindow(chart, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client{};
    GetClientRect(chart, &client);
    const HDC window = GetDC(chart);
    const HDC memory = CreateCompatibleDC(window);
    const HBITMAP bitmap = CreateCompatibleBitmap(window, client.right, client.bottom);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client.right, client.bottom, window, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(client.right) * client.bottom);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(client.bottom), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(chart, window);
    return pixels;
}

class Handlers : public ToolWindowTest {
protected:
    Handlers() {
        queryRows_ = "31;180.063388;C6H12O6;glucose\n7;18.010565;H2O;water\n";
    }
    void SetUp() override {
        void** slot = ImportSlot(plugin_.Module(), "msvcrt.dll", "malloc");
        ASSERT_NE(slot, nullptr);
        g_malloc = reinterpret_cast<MallocFn>(*slot);
        *slot = reinterpret_cast<void*>(&FailingMalloc);
        g_failing = false;
        ToolWindowTest::SetUp();
        if (HasFatalFailure()) return;
        chart_ = Item(TC_IsoChart);
        Click(BT_Search);
        Select(0);
    }
    std::string Settings() const override {
        return "[Ionsift]\r\nDATABASE=samples\r\nMASS=180\r\nMAXRESULTS=200\r\nPPM=2\r\n";
    }
    // Large allocations fail from the host's answer to `failFrom` on until
    // the handler's last command: only the handler's own copies run short.
    HostAnswer Answer(const std::string& command) override {
        if (!failFrom_.empty() && command.rfind(failFrom_, 0) == 0) {
            failFrom_.clear();
            g_failing = true;
        } else if (command == "Cursor Default") {
            g_failing = false;
        }
        if (command.rfind("IsoDist ", 0) == 0) return isoDist_;
        return ToolWindowTest::Answer(command);
    }
    // The commands of the handler run short of memory from `failFrom` on.
    std::vector<std::string> ShortOfMemory(const std::string& failFrom, int button, int menuItem) {
        failFrom_ = failFrom;
        const std::size_t mark = host_.Commands().size();
        if (button) Click(button);
        if (menuItem) Choose(menuItem);
        EXPECT_FALSE(g_failing) << "allocations still fail";
        g_failing = false;
        return CommandsSince(mark);
    }
    // The text followed by blank lines: read as it is, but long.
    static std::string Padded(const std::string& text) {
        std::string padded = text;
        while (padded.size() < kLargeText) padded += "\r\n";
        return padded;
    }

    HWND chart_ = nullptr;
    HostAnswer isoDist_{0, "100 100\n101 20\n"};
    std::string failFrom_;
};

TEST_F(Handlers, ANewDistributionAndAnUpdateResetTheZoom) {
    Choose(PM_ResIsoDist);
    const std::vector<std::uint32_t> distribution = Snapshot(chart_);
    Choose(PM_IC_ZoomIn);
    ASSERT_NE(Snapshot(chart_), distribution);
    Choose(PM_ResIsoDist);
    EXPECT_EQ(Snapshot(chart_), distribution);

    SetWindowTextA(Item(ME_ExData), "100 50");
    Click(BT_ExUpdate);
    const std::vector<std::uint32_t> both = Snapshot(chart_);
    Choose(PM_IC_ZoomIn);
    ASSERT_NE(Snapshot(chart_), both);
    Click(BT_ExUpdate);
    EXPECT_EQ(Snapshot(chart_), both);
}

TEST_F(Handlers, ADistributionWithARowSelectedButNoDatabaseOpenSendsNothing) {
    PickEntry(CB_Database, 0);
    ASSERT_EQ(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0), 2) << "the rows stay";
    EXPECT_TRUE(CommandsSince(Choose(PM_ResIsoDist)).empty());
}

TEST_F(Handlers, ThePopupOpenedFromTheKeyboardTakesTheCellUnderTheMouse) {
    struct Case {
        int column;  // under the mouse; -1: outside the list
        std::vector<std::string> copied;
    };
    const Case cases[] = {
        {1, {"CopyText \"C6H12O6\""}},
        {2, {"CopyText \"glucose\""}},
        {-1, {}},
    };
    for (const Case& c : cases) {
        RECT cell{};
        cell.top = c.column;
        cell.left = LVIR_BOUNDS;
        SendMessageA(list_, LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
        POINT at{cell.left + 6, (cell.top + cell.bottom) / 2};
        if (c.column < 0) at = {-40, -40};
        ClientToScreen(list_, &at);
        // The display takes the move a little later.
        for (int wait = 0; wait < 100; ++wait) {
            SetCursorPos(at.x, at.y);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            POINT now{};
            GetCursorPos(&now);
            if (now.x == at.x && now.y == at.y) break;
            Sleep(10);
        }
        ASSERT_TRUE(ReadPopup(list_, {-1, -1}).opened);  // lParam -1: from the keyboard
        EXPECT_EQ(CommandsLike(Choose(PM_ResCopy), "CopyText"), c.copied) << "column " << c.column;
    }
}

TEST_F(Handlers, OutOfMemoryInTheSearchShowsTheMessageAndTurnsTheCursorBack) {
    queryRows_ = Padded(queryRows_);
    const std::vector<std::string> sent = ShortOfMemory("DbSqlExec ", BT_Search, 0);
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[sent.size() - 2], kOutOfMemory);
    EXPECT_EQ(sent.back(), "Cursor Default");
    EXPECT_EQ(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(Handlers, OutOfMemoryForADistributionKeepsTheOldOne) {
    Choose(PM_ResIsoDist);
    const std::vector<std::uint32_t> before = Snapshot(chart_);
    isoDist_.text = Padded("200 100\n");
    const std::vector<std::string> sent = ShortOfMemory("IsoDist ", 0, PM_ResIsoDist);
    EXPECT_EQ(sent, (std::vector<std::string>{"Cursor Busy", "IsoDist C6H12O6", kOutOfMemory,
                                              "Cursor Default"}));
    EXPECT_EQ(Snapshot(chart_), before);
}

TEST_F(Handlers, OutOfMemoryInUpdateKeepsTheDistributionAndDropsTheOldPeaks) {
    Choose(PM_ResIsoDist);
    const auto update = [this](const std::string& text) {
        SetWindowTextA(Item(ME_ExData), text.c_str());
        Click(BT_ExUpdate);
    };
    // The distribution under the title an update leaves when it finds no pair.
    update("100 50");
    update("5");
    const std::vector<std::uint32_t> withoutPeaks = Snapshot(chart_);
    update("100 50");
    ASSERT_NE(Snapshot(chart_), withoutPeaks) << "blue sticks drawn";
    SetWindowTextA(Item(ME_ExData), Padded("100 50").c_str());
    const std::vector<std::string> sent = ShortOfMemory("Cursor Busy", BT_ExUpdate, 0);
    EXPECT_EQ(sent, (std::vector<std::string>{"Cursor Busy", kOutOfMemory, "Cursor Default"}));
    EXPECT_EQ(Snapshot(chart_), withoutPeaks);
}

}  // namespace
}  // namespace ionsift::wintest
