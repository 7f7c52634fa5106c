// The isotopic distribution, the experimental peaks and the chart of the real
// Ionsift.dll behind a recording host: what IsoDist brings to the chart, the
// RMS title, the Update button, the key filter of the experimental edit, the
// chart's menu and what its commands send. Registered under a point and a
// comma locale.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "tests/win/chart_picture.h"
#include "tests/win/tool_window_fixture.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// The tooltip control the tool window owns.
struct TipSearch {
    HWND owner;
    HWND found;
};
BOOL CALLBACK FindTip(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TipSearch*>(data);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0 || GetWindow(window, GW_OWNER) != search->owner) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

class ChartWindow : public ToolWindowTest {
protected:
    ChartWindow() { queryRows_ = "31;180.063388;C6H12O6;glucose\n7;18.010565;H2O;water\n"; }

    void SetUp() override {
        ToolWindowTest::SetUp();
        if (HasFatalFailure()) return;
        chart_ = Item(TC_IsoChart);
        ASSERT_NE(chart_, nullptr);
        // Two candidates; the first is selected for every request.
        Click(BT_Search);
        Select(0);
    }
    std::string Settings() const override {
        return "[Ionsift]\r\nDATABASE=samples\r\nMASS=180\r\nMAXRESULTS=200\r\nPPM=2\r\n";
    }
    HostAnswer Answer(const std::string& command) override {
        if (command.rfind("IsoDist ", 0) == 0) return isoDist_;
        return ToolWindowTest::Answer(command);
    }

    std::size_t RequestDistribution(const HostAnswer& answer) {
        isoDist_ = answer;
        return Choose(PM_ResIsoDist);
    }
    void Update(const std::string& text) const {
        SetWindowTextA(Item(ME_ExData), text.c_str());
        Click(BT_ExUpdate);
    }
    // The distribution rows as "Copy data" hands them to the host.
    std::string CopiedData() const {
        const std::size_t mark = Choose(PM_IC_CopyData);
        const std::vector<std::string> sent = CommandsLike(mark, "CopyText ");
        return sent.size() == 1 ? sent[0] : "<" + std::to_string(sent.size()) + " CopyText>";
    }
    MenuItems ChartMenu() const {
        RECT client;
        GetClientRect(chart_, &client);
        POINT at{client.right / 2, client.bottom / 2};
        ClientToScreen(chart_, &at);
        return ReadPopup(chart_, at);
    }
    bool MenuEnabled(const MenuItems& menu, int id) const {
        for (std::size_t i = 0; i < menu.ids.size(); ++i) {
            if (menu.ids[i] == static_cast<UINT>(id)) return menu.enabled[i];
        }
        ADD_FAILURE() << "no menu item " << id;
        return false;
    }
    HWND Tooltip() const {
        TipSearch search{main_, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), FindTip, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // The readout's text after the pointer moved to (x, y) of the chart.
    std::string ReadoutAt(int x, int y) const {
        SendMessageA(chart_, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        return TipText();
    }
    std::string TipText() const {
        const HWND tip = Tooltip();
        if (!tip) return "<no tooltip control>";
        char text[256] = {};
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = main_;
        tool.uId = reinterpret_cast<UINT_PTR>(chart_);
        tool.lpszText = text;
        SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
        return text;
    }

    HWND chart_ = nullptr;
    HostAnswer isoDist_;
};

const std::vector<int> kSeriesItems = {PM_IC_CopyChart, PM_IC_CopyData, PM_IC_ZoomIn,
                                       PM_IC_ZoomOut,   PM_IC_ZoomReset, PM_IC_Print};
const std::vector<int> kAlwaysItems = {PM_IC_SendExp};

TEST_F(ChartWindow, IsoDistSendsTheSelectedFormulaAndDrawsRedSticks) {
    EXPECT_EQ(ChartPicture(chart_).Count(kRed), 0);
    const std::size_t mark = RequestDistribution({0, "180.063388 100\n181.066743 6.86\n"});
    EXPECT_EQ(CommandsLike(mark, "IsoDist"), (std::vector<std::string>{"IsoDist C6H12O6"}));
    EXPECT_EQ(CommandsLike(mark, "Cursor "),
              (std::vector<std::string>{"Cursor Busy", "Cursor Default"}));
    EXPECT_GT(ChartPicture(chart_).Count(kRed), 10);
    EXPECT_EQ(CopiedData(), Local("CopyText \"180.06338800 100.00000000\r\n"
                                  "181.06674300 6.86000000\r\n\""));
    EXPECT_EQ(TextOf(TC_IsoChart), "") << "no title without experimental peaks";

    // A failing request keeps the sticks; a later one replaces them.
    const ChartPicture before(chart_);
    RequestDistribution({4, "unknown element"});
    EXPECT_TRUE(ChartPicture(chart_) == before);
    Select(1);
    const std::size_t water = RequestDistribution({0, "18.010565 100\n"});
    EXPECT_EQ(CommandsLike(water, "IsoDist"), (std::vector<std::string>{"IsoDist H2O"}));
    EXPECT_EQ(CopiedData(), Local("CopyText \"18.01056500 100.00000000\r\n\""));

    // An answer without pairs leaves an empty series: its rows are empty,
    // yet the chart holds a series.
    RequestDistribution({0, "\n"});
    EXPECT_EQ(CopiedData(), "CopyText \"\"");
    EXPECT_EQ(ChartPicture(chart_).Count(kRed), 0);
}

TEST_F(ChartWindow, NothingIsRequestedWithoutASelectedRow) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    SendMessageA(Item(LV_Results), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
    const std::size_t mark = RequestDistribution({0, "1 1\n"});
    EXPECT_TRUE(CommandsSince(mark).empty());
}

TEST_F(ChartWindow, UpdateDrawsBlueSticksAndTheTitleShowsTheRms) {
    RequestDistribution({0, "100 100\n101 20\n"});
    // 100/50 and 101.5/5 scale to 100 and 10: sqrt((0 + 0.25 + 100) / 2).
    Update(Local("100 50\r\n101.5 5"));
    EXPECT_EQ(TextOf(TC_IsoChart), Local("Rms = 7.08"));
    EXPECT_GT(ChartPicture(chart_).Count(kBlue), 10);
    EXPECT_GT(ChartPicture(chart_).Count(kRed), 10);

    // Only the two lightest computed peaks take part.
    RequestDistribution({0, "100 100\n101 60\n102 20\n"});
    Update("101 30\r\n100 50\r\n");
    EXPECT_EQ(TextOf(TC_IsoChart), Local("Rms = 0.00"));

    // Blank lines typed between the pairs do not shift them.
    Update("101 30\r\n\r\n \r\n100 50");
    EXPECT_EQ(TextOf(TC_IsoChart), Local("Rms = 0.00"));

    // A new distribution recomputes the title against the blue sticks.
    RequestDistribution({0, "100 100\n101 20\n"});
    EXPECT_EQ(TextOf(TC_IsoChart), Local("Rms = 28.28"));  // sqrt((0 + 40^2) / 2)

    // No pair: the blue sticks go, the title stays, Update stays enabled.
    Update("5");
    EXPECT_EQ(ChartPicture(chart_).Count(kBlue), 0);
    EXPECT_EQ(TextOf(TC_IsoChart), Local("Rms = 28.28"));
    EXPECT_TRUE(IsWindowEnabled(Item(BT_ExUpdate)));
    // Empty text: nothing left to remove, so Update is disabled.
    Update("");
    EXPECT_FALSE(IsWindowEnabled(Item(BT_ExUpdate)));
    EXPECT_EQ(TextOf(TC_IsoChart), Local("Rms = 28.28"));

    // An RMS that is not defined hides the title rather than show a number.
    Update("100 0\r\n101 0");
    EXPECT_EQ(TextOf(TC_IsoChart), "");
}

TEST_F(ChartWindow, TheExperimentalEditTakesDigitsBlanksAndTheSeparatorOnly) {
    const HWND edit = Item(ME_ExData);
    SetFocus(edit);
    for (char key : std::string("1.5 -2a,e3")) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(key), 1);
    // "." becomes the user's separator; the separator itself passes; the
    // sign, letters and any other character are dropped.
    const std::string expected = separator_ == ',' ? "1,5 2,3" : "1.5 23";
    char text[64] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_EQ(std::string(text), expected);
    EXPECT_TRUE(IsWindowEnabled(Item(BT_ExUpdate)));
}

TEST_F(ChartWindow, APastedListOfThousandsOfPeaksArrivesWhole) {
    std::string peaks;
    for (int i = 0; i < 8000; ++i) peaks += std::to_string(1000 + i) + " " + std::to_string(i % 97 + 1) + "\r\n";
    ASSERT_GT(peaks.size(), 65536u);  // beyond any of the edit's default limits
    ASSERT_TRUE(OpenClipboard(main_));
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, peaks.size() + 1);
    ASSERT_NE(memory, nullptr);
    std::memcpy(GlobalLock(memory), peaks.c_str(), peaks.size() + 1);
    GlobalUnlock(memory);
    ASSERT_NE(SetClipboardData(CF_TEXT, memory), nullptr);
    CloseClipboard();
    const HWND edit = Item(ME_ExData);
    SetWindowTextA(edit, "");
    SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(GetWindowTextLengthA(edit), static_cast<int>(peaks.size()));
}

TEST_F(ChartWindow, TheChartMenuNeedsASeriesAndTheResetEmptiesTheChart) {
    MenuItems menu = ChartMenu();
    ASSERT_TRUE(menu.opened);
    for (int id : kSeriesItems) EXPECT_FALSE(MenuEnabled(menu, id)) << id;
    for (int id : kAlwaysItems) EXPECT_TRUE(MenuEnabled(menu, id)) << id;

    // An experimental series alone enables them as well.
    Update("100 50");
    menu = ChartMenu();
    for (int id : kSeriesItems) EXPECT_TRUE(MenuEnabled(menu, id)) << id;
    // Without a distribution there is nothing to send or copy.
    std::size_t mark = Choose(PM_IC_SendExp);
    EXPECT_EQ(TextOf(ME_ExData), "100 50");
    mark = Choose(PM_IC_CopyData);
    EXPECT_TRUE(CommandsLike(mark, "CopyText").empty());

    RequestDistribution({0, "100 100\n101 20\n"});
    EXPECT_NE(TextOf(TC_IsoChart), "");
    SendMessageA(Item(BT_Default), BM_CLICK, 0, 0);
    EXPECT_EQ(TextOf(TC_IsoChart), "");
    EXPECT_EQ(TextOf(ME_ExData), "");
    EXPECT_EQ(ChartPicture(chart_).Count(kRed) + ChartPicture(chart_).Count(kBlue), 0);
    EXPECT_FALSE(IsWindowEnabled(Item(BT_ExUpdate)));
    menu = ChartMenu();
    for (int id : kSeriesItems) EXPECT_FALSE(MenuEnabled(menu, id)) << id;
}

TEST_F(ChartWindow, SendToExperimentalFillsTheEditWithTheDistribution) {
    RequestDistribution({0, "100.5 80\n101.5 10\n"});
    Choose(PM_IC_SendExp);
    EXPECT_EQ(TextOf(ME_ExData), Local("100.50000000 80.00000000\r\n101.50000000 10.00000000\r\n"));
    EXPECT_TRUE(IsWindowEnabled(Item(BT_ExUpdate)));
    EXPECT_EQ(ChartPicture(chart_).Count(kBlue), 0) << "nothing drawn before Update";
    SendMessageA(Item(BT_ExUpdate), BM_CLICK, 0, 0);
    // The experimental side is scaled to 100: sqrt(((80 - 100)^2 + (10 - 12.5)^2) / 2).
    EXPECT_EQ(TextOf(TC_IsoChart), Local("Rms = 14.25"));
    EXPECT_GT(ChartPicture(chart_).Count(kBlue), 10);
}

TEST_F(ChartWindow, ThePointerReadsTheNearestStickTopWithinReach) {
    RequestDistribution({0, "100.5 80\n101.5 10\n"});
    // The top pixel of the tall red stick is its top point: the falling edge
    // starts there.
    const POINT top = ChartPicture(chart_).Highest(kRed);
    ASSERT_GE(top.x, 0);
    EXPECT_EQ(ReadoutAt(top.x, top.y), Local("100.500000\n80.00%"));
    // 10 right, 9 below: d = 181, shown; 10 below: d = 200, not.
    EXPECT_EQ(ReadoutAt(top.x + 10, top.y + 9), Local("100.500000\n80.00%"));
    EXPECT_EQ(ReadoutAt(top.x + 10, top.y + 10), "");
    // Far outside the chart, and after a new series: no text.
    EXPECT_EQ(ReadoutAt(-1000, -1000), "");
    EXPECT_NE(ReadoutAt(top.x, top.y), "");
    Update("1 1");
    EXPECT_EQ(TipText(), "");
}

TEST_F(ChartWindow, ZoomChangesTheViewAndResetBringsItBack) {
    RequestDistribution({0, "100 100\n101 60\n102 20\n"});
    const ChartPicture shown(chart_);
    Choose(PM_IC_ZoomIn);
    EXPECT_FALSE(ChartPicture(chart_) == shown);
    Choose(PM_IC_ZoomOut);
    EXPECT_FALSE(ChartPicture(chart_) == shown) << "in then out is not the identity";
    Choose(PM_IC_ZoomReset);
    EXPECT_TRUE(ChartPicture(chart_) == shown);
}

TEST_F(ChartWindow, CopyChartPutsAnEnhancedMetafileOnTheClipboard) {
    RequestDistribution({0, "100 100\n101 20\n"});
    ASSERT_TRUE(OpenClipboard(main_));
    EmptyClipboard();
    CloseClipboard();
    Choose(PM_IC_CopyChart);
    ASSERT_TRUE(OpenClipboard(main_));
    const HENHMETAFILE picture = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
    ASSERT_NE(picture, nullptr);
    ENHMETAHEADER header{};
    ASSERT_GT(GetEnhMetaFileHeader(picture, sizeof header, &header), 0u);
    CloseClipboard();
    RECT client;
    GetClientRect(chart_, &client);
    // The frame is in .01 mm: compare its shape with the client area's.
    const double frameRatio = double(header.rclFrame.right - header.rclFrame.left) /
                              double(header.rclFrame.bottom - header.rclFrame.top);
    EXPECT_NEAR(frameRatio, double(client.right) / client.bottom, 0.05);
    EXPECT_GT(header.nRecords, 10u);
}

}  // namespace
}  // namespace ionsift::wintest
