// The isotope fit in the real Ionsift.dll behind a recording host: the Score
// column the ranking fills and sorts by, the Resolution edit and its
// setting, and "Show profile" on the chart's menu. Registered under a point
// and a comma locale.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "tests/win/chart_picture.h"
#include "tests/win/tool_window_fixture.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;

constexpr int kSodiumEntry = 2;  // [M+Na]+ in the ion selector
constexpr COLORREF kProfileGreen = RGB(0, 128, 0);
constexpr COLORREF kCentroidPurple = RGB(128, 0, 128);

class FitWindow : public ToolWindowTest {
protected:
    FitWindow() {
        queryRows_ =
            "31;180.063388;C6H12O6;glucose\n"
            "32;180.0634;C6H12O6;fructose\n"
            "5;78.04695;C6H6;benzene\n"
            "7;18.010565;H2O;water\n";
    }
    std::string Settings() const override {
        return "[Ionsift]\r\nDATABASE=samples\r\nMASS=203.0526\r\nMAXRESULTS=200\r\nPPM=5\r\n" +
               extraSettings_;
    }
    HostAnswer Answer(const std::string& command) override {
        // Glucose and benzene with sodium, in masses of neutral atoms; water's is refused.
        if (command == "IsoDist C6H12NaO6") return {0, "203.053157 100\n204.056512 6.5\n"};
        if (command == "IsoDist C6H6Na") return {0, "101.036 100\n102.04 6.6\n"};
        if (command.rfind("IsoDist ", 0) == 0) return {3, "bad formula"};
        return ToolWindowTest::Answer(command);
    }

    // A [M+Na]+ search with glucose's two peaks measured.
    void SearchAndMeasure() {
        PickEntry(CB_Ion, kSodiumEntry);
        Click(BT_Search);
        SetWindowTextA(Item(ME_ExData), Local("203.0526 100\n204.0559 6.6\n").c_str());
        Click(BT_ExUpdate);
    }
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> cells;
        for (int i = 0; i < RowCount(); ++i) cells.push_back(Cell(i, column));
        return cells;
    }
    std::vector<std::string> Names() const { return Column(2); }
    double Number(std::string text) const {
        for (char& c : text) c = c == separator_ ? '.' : c;
        return std::strtod(text.c_str(), nullptr);
    }
    void ClickColumn(int column) const {
        NMLISTVIEW click{};
        click.hdr = {list_, static_cast<UINT_PTR>(LV_Results), static_cast<UINT>(LVN_COLUMNCLICK)};
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageA(GetParent(list_), WM_NOTIFY, LV_Results, reinterpret_cast<LPARAM>(&click));
    }
    // Typed as the user types, key by key: the keys mark the settings changed.
    void TypeResolution(const std::string& text) const {
        SetWindowTextA(Item(STR_Resolution), "");
        for (char key : text) SendMessageA(Item(STR_Resolution), WM_CHAR, static_cast<WPARAM>(key), 1);
    }
    void Reopen() {
        plugin_.Init(host_.Context());
        ASSERT_EQ(plugin_.Call(101), 1);
        main_ = host_.OpenedWindows().back();
        list_ = Item(LV_Results);
    }
    bool ProfileChecked() const {
        RECT client;
        GetClientRect(Item(TC_IsoChart), &client);
        POINT at{client.right / 2, client.bottom / 2};
        ClientToScreen(Item(TC_IsoChart), &at);
        const MenuItems menu = ReadPopup(Item(TC_IsoChart), at);
        for (std::size_t i = 0; i < menu.ids.size(); ++i) {
            if (menu.ids[i] == PM_IC_ShowProfile) return menu.checked[i] && menu.enabled[i];
        }
        ADD_FAILURE() << "no Show profile row";
        return false;
    }

    std::string extraSettings_;
};

TEST_F(FitWindow, TheRankingFillsScoreAndSortsByItAndAClickSortsTheColumn) {
    char title[64] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    ASSERT_TRUE(SendMessageA(list_, LVM_GETCOLUMNA, 5, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(title, "Score");

    SearchAndMeasure();
    EXPECT_EQ(Column(5), std::vector<std::string>(4, "")) << "empty until ranked";
    Choose(PM_ResRank);
    // The isomers share a score, glucose nearer the measured m/z; benzene
    // scores far lower; the host refused water: neither RMS nor score.
    EXPECT_EQ(Names(), (std::vector<std::string>{"glucose", "fructose", "benzene", "water"}));
    const std::vector<std::string> scores = Column(5);
    ASSERT_GE(scores[0].size(), 4u);
    EXPECT_EQ(scores[0][scores[0].size() - 3], separator_) << scores[0];
    EXPECT_EQ(scores[1], scores[0]);
    EXPECT_GT(Number(scores[0]), Number(scores[2]));
    EXPECT_EQ(scores[3], "");
    EXPECT_EQ(Column(4)[3], "");

    ClickColumn(5);  // lowest first, the empty cell last
    EXPECT_EQ(Names(), (std::vector<std::string>{"benzene", "glucose", "fructose", "water"}));
    ClickColumn(5);
    EXPECT_EQ(Names(), (std::vector<std::string>{"glucose", "fructose", "benzene", "water"}));
    // A new search empties the column.
    Click(BT_Search);
    EXPECT_EQ(Column(5), std::vector<std::string>(4, ""));
}

TEST_F(FitWindow, TheResolutionIsWrittenOnlyWhenChangedAndReadBack) {
    EXPECT_EQ(TextOf(STR_Resolution), "30000");
    // Another input changed: no RESOLUTION key appears.
    SetWindowTextA(Item(STR_Ppm), "3");
    SendMessageA(Item(STR_Ppm), WM_CHAR, '3', 1);
    plugin_.Free();
    EXPECT_EQ(folder_.ReadSettings().find("RESOLUTION="), std::string::npos) << folder_.ReadSettings();

    Reopen();
    TypeResolution("6x0.000");
    EXPECT_EQ(TextOf(STR_Resolution), "60000") << "only digits";
    plugin_.Free();
    EXPECT_NE(folder_.ReadSettings().find("RESOLUTION=60000\r\n"), std::string::npos)
        << folder_.ReadSettings();

    Reopen();
    EXPECT_EQ(TextOf(STR_Resolution), "60000");
    Click(BT_Default);
    EXPECT_EQ(TextOf(STR_Resolution), "30000");
    plugin_.Free();
    EXPECT_NE(folder_.ReadSettings().find("RESOLUTION=30000\r\n"), std::string::npos)
        << folder_.ReadSettings();
    plugin_.Init(host_.Context());  // TearDown releases it again
}

TEST_F(FitWindow, ShowProfileDrawsTheCandidateAtTheResolutionAndOffRestoresTheChart) {
    SearchAndMeasure();
    Select(0);
    Choose(PM_ResIsoDist);
    const HWND chart = Item(TC_IsoChart);
    const std::string rmsTitle = TextOf(TC_IsoChart);
    const ChartPicture specified(chart);
    EXPECT_EQ(specified.Count(kProfileGreen), 0);
    EXPECT_EQ(specified.Count(kCentroidPurple), 0);
    EXPECT_FALSE(ProfileChecked()) << "off by default";

    // At 3000 a peak at m/z 203 is 0.07 wide: a few pixels, beside the sticks.
    TypeResolution("3000");
    Choose(PM_IC_ShowProfile);
    EXPECT_TRUE(ProfileChecked());
    EXPECT_GT(ChartPicture(chart).Count(kProfileGreen), 10);
    EXPECT_GT(ChartPicture(chart).Count(kCentroidPurple), 10);
    EXPECT_EQ(TextOf(TC_IsoChart), rmsTitle) << "the title keeps the RMS";
    Choose(PM_IC_ShowProfile);
    EXPECT_FALSE(ProfileChecked());
    EXPECT_TRUE(ChartPicture(chart) == specified) << "off: the chart as it was";
    EXPECT_EQ(TextOf(TC_IsoChart), rmsTitle);

    // Update draws it again at the resolution typed: ten times lower, wider peaks.
    Choose(PM_IC_ShowProfile);
    Click(BT_ExUpdate);
    const ChartPicture at3000(chart);
    TypeResolution("300");
    Click(BT_ExUpdate);
    const ChartPicture at300(chart);
    EXPECT_GT(at300.Count(kProfileGreen), 10);
    EXPECT_FALSE(at300 == at3000);
}

}  // namespace
}  // namespace ionsift::wintest
