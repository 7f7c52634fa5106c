// Renders the main tool window and the about box in each staged language and
// saves them as BMPs into the folder named by IONSIFT_SCREENSHOT_DIR (window_screenshots.sh
// runs it on a Wine virtual desktop, which draws the window frames, and
// converts the pictures to PNG).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "resources/dlg_about_ids.h"
#include "resources/dlg_main_ids.h"
#include "tests/native/spectrum_file_writer.h"
#include "tests/win/bmp_file.h"
#include "tests/win/plugin_harness.h"
#include "tests/win/spectrum_dialogs.h"
#include "tests/win/stand_in_host_win.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;

// The real localization library of the stage.
short StagedLocaleLoader(const std::string& library, void** module,
                         std::vector<std::pair<void**, std::string>>& slots) {
    HMODULE loaded = LoadLibraryA((StageDirectory() + library).c_str());
    if (!loaded) return 0;
    for (auto& [slot, name] : slots) *slot = reinterpret_cast<void*>(GetProcAddress(loaded, name.c_str()));
    *module = loaded;
    return 1;
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bgr;  // bottom-up rows, 4-byte aligned
    COLORREF At(int x, int y) const {
        const int stride = (width * 3 + 3) & ~3;
        const unsigned char* p = &bgr[static_cast<std::size_t>((height - 1 - y) * stride + x * 3)];
        return RGB(p[2], p[1], p[0]);
    }
};

// What the screen shows inside the window's rectangle, frame included.
Picture Capture(HWND window) {
    RECT area{};
    GetWindowRect(window, &area);
    Picture picture;
    picture.width = area.right - area.left;
    picture.height = area.bottom - area.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = picture.height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const int stride = (picture.width * 3 + 3) & ~3;
    const auto* begin = static_cast<const unsigned char*>(bits);
    picture.bgr.assign(begin, begin + static_cast<std::size_t>(stride) * picture.height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

bool SaveBmp(const Picture& picture, const std::string& path) {
    return WriteBmp(path, picture.width, picture.height, 24, picture.bgr.data(), picture.bgr.size());
}

// Lets the window paint before the screen is read.
void Pump() {
    for (int round = 0; round < 20; ++round) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(25);
    }
}


class Screenshot : public ::testing::TestWithParam<const char*> {};

TEST_P(Screenshot, MainWindowInTheHostsLanguage) {
    const std::string language = GetParam();
    const char* folder = std::getenv("IONSIFT_SCREENSHOT_DIR");
    ASSERT_NE(folder, nullptr) << "run through window_screenshots.sh";

    // A host folder with two databases and saved inputs, and the stage's catalogs.
    TempHostFolder host{{"aspirin", "structures"}};
    const std::string catalog = "Locale\\" + language;
    CreateDirectoryA((host.Path() + "Locale").c_str(), nullptr);
    CreateDirectoryA((host.Path() + catalog).c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((StageDirectory() + catalog + "\\RADURUR.evidodi").c_str(),
                          (host.Path() + catalog + "\\RADURUR.evidodi").c_str(), FALSE));
    host.WriteSettings("[Ionsift]\r\nDATABASE=structures\r\nMASS=180.0634\r\nPPM=5\r\n");

    RecordingHost recorder;
    host.UseIn(recorder.Context());
    recorder.SetLoader(&StagedLocaleLoader);
    recorder.Respond([&](const std::string& command) -> HostAnswer {
        if (command == "Get PrfLang") return {0, language};
        if (command.rfind("DbOpen", 0) == 0) return {0, "1"};
        return {0, ""};
    });
    Plugin plugin;
    ASSERT_TRUE(plugin.Loaded());
    plugin.Init(recorder.Context());
    plugin.Call(101);
    ASSERT_FALSE(recorder.OpenedWindows().empty());
    HWND window = recorder.OpenedWindows().back();
    Pump();

    HWND group = FindControl(window, GRP_Param);
    char caption[128] = {};
    GetWindowTextA(group, caption, sizeof caption);
    if (language == "english") {
        EXPECT_STREQ(caption, "Search options");
    } else {
        EXPECT_STRNE(caption, "Search options") << "translated by the " << language << " catalog";
    }

    const Picture picture = Capture(window);
    HWND chart = FindControl(window, TC_IsoChart);
    RECT wall{}, outer{};
    GetWindowRect(chart, &wall);
    GetWindowRect(window, &outer);
    // The chart's back wall is white; the window is drawn, not left black.
    EXPECT_EQ(picture.At((wall.left + wall.right) / 2 - outer.left,
                         (wall.top + wall.bottom) / 2 - outer.top),
              RGB(255, 255, 255));
    EXPECT_TRUE(SaveBmp(picture, std::string(folder) + "\\dlg-main-" + language + ".bmp"));
    plugin.Free();
}

// The about box is modal: it is captured from a timer inside its own loop,
// then closed with its OK button.
struct AboutShot {
    std::string path;
    bool saved = false;
    std::string title;
    COLORREF panelColour = 0;
};
AboutShot* aboutShot = nullptr;

BOOL CALLBACK FindVisibleForm(HWND window, LPARAM found) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (!IsWindowVisible(window) || std::string(name) != "IonsiftForm") return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK CaptureAbout(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND about = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindVisibleForm, reinterpret_cast<LPARAM>(&about));
    if (!about) return;
    KillTimer(nullptr, timer);
    Pump();
    char title[64] = {};
    GetWindowTextA(about, title, sizeof title);
    aboutShot->title = title;
    const Picture picture = Capture(about);
    // The panel's face colour inside its bevel: the box was drawn, not left black.
    RECT panel{}, outer{};
    GetWindowRect(GetDlgItem(about, dlg_about::PN_Rights), &panel);
    GetWindowRect(about, &outer);
    aboutShot->panelColour = picture.At(panel.left - outer.left + 4, panel.top - outer.top + 4);
    aboutShot->saved = SaveBmp(picture, aboutShot->path);
    SendMessageA(GetDlgItem(about, dlg_about::BT_Ok), BM_CLICK, 0, 0);
}

TEST_P(Screenshot, AboutBoxInTheHostsLanguage) {
    const std::string language = GetParam();
    const char* folder = std::getenv("IONSIFT_SCREENSHOT_DIR");
    ASSERT_NE(folder, nullptr) << "run through window_screenshots.sh";

    RecordingHost recorder;
    recorder.SetLoader(&StagedLocaleLoader);
    recorder.Respond([&](const std::string& command) -> HostAnswer {
        if (command == "Get PrfLang") return {0, language};
        return {0, ""};
    });
    Plugin plugin;
    ASSERT_TRUE(plugin.Loaded());
    plugin.Init(recorder.Context());

    AboutShot shot;
    shot.path = std::string(folder) + "\\dlg-about-" + language + ".bmp";
    aboutShot = &shot;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CaptureAbout);
    plugin.Call(1);
    KillTimer(nullptr, timer);
    aboutShot = nullptr;
    plugin.Free();

    EXPECT_TRUE(shot.saved);
    EXPECT_EQ(shot.panelColour, RGB(192, 192, 192)) << "the panel is painted, silver";
    if (language == "english") {
        EXPECT_EQ(shot.title, "About Ionsift");
    } else {
        EXPECT_NE(shot.title, "About Ionsift") << "translated by the " << language << " catalog";
    }
}

// The tool window after a real search of the sample database (180.0634 at
// 5 ppm), served by the stand-in host's own commands, with the first
// candidate selected.
class SampleSearch : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::getenv("IONSIFT_SCREENSHOT_DIR");
        ASSERT_NE(folder_, nullptr) << "run through window_screenshots.sh";
        ASSERT_TRUE(CopyFileA((StageDirectory() + "Data\\Databases\\structures.db").c_str(),
                              (host_.Path() + "Data\\Databases\\structures.db").c_str(), FALSE));
        host_.WriteSettings("[Ionsift]\r\nDATABASE=structures\r\nMASS=180.0634\r\nPPM=5\r\n");
        host_.UseIn(standIn_.Context());
        ASSERT_TRUE(plugin_.Loaded());
        plugin_.Init(standIn_.Context());
        plugin_.Call(101);
        ASSERT_FALSE(standIn_.Recording().OpenedWindows().empty());
        window_ = standIn_.Recording().OpenedWindows().back();
        SendMessageA(Item(BT_Search), BM_CLICK, 0, 0);
        LVITEMA item{};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(Item(LV_Results), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    }
    void TearDown() override { plugin_.Free(); }

    HWND Item(int id) const { return FindControl(window_, id); }
    std::string ShotPath(const char* name) const { return std::string(folder_) + "\\" + name; }

    const char* folder_ = nullptr;
    TempHostFolder host_;
    StandInHost standIn_;
    Plugin plugin_;
    HWND window_ = nullptr;
};

TEST_F(SampleSearch, MainWindowListsTheCandidates) {
    const int rows = static_cast<int>(SendMessageA(Item(LV_Results), LVM_GETITEMCOUNT, 0, 0));
    EXPECT_GT(rows, 1) << "the sample database holds several hexoses";
    SetFocus(Item(LV_Results));
    Pump();

    char count[16] = {};
    GetWindowTextA(Item(LBL_FoundNumVal), count, sizeof count);
    EXPECT_EQ(std::string(count), std::to_string(rows));
    EXPECT_TRUE(SaveBmp(Capture(window_), ShotPath("dlg-main-results.bmp")));
}

// The host's distribution of the first hexose in red, typed peaks in blue,
// the RMS title.
TEST_F(SampleSearch, MainWindowComparesADistributionWithMeasuredPeaks) {
    SendMessageA(window_, WM_COMMAND, PM_ResIsoDist, 0);
    // Measured a little off the computed masses and abundances.
    SetWindowTextA(Item(ME_ExData), "180.0631 100\r\n181.0672 7.9\r\n182.0675 1.6\r\n183.0712 0.2");
    SendMessageA(Item(BT_ExUpdate), BM_CLICK, 0, 0);
    Pump();

    char title[64] = {};
    GetWindowTextA(Item(TC_IsoChart), title, sizeof title);
    EXPECT_EQ(std::string(title).rfind("Rms = ", 0), 0u) << title;
    const Picture picture = Capture(window_);
    RECT chart{}, outer{};
    GetWindowRect(Item(TC_IsoChart), &chart);
    GetWindowRect(window_, &outer);
    int red = 0, blue = 0;
    for (int y = chart.top; y < chart.bottom; ++y) {
        for (int x = chart.left; x < chart.right; ++x) {
            const COLORREF colour = picture.At(x - outer.left, y - outer.top);
            red += colour == RGB(255, 0, 0);
            blue += colour == RGB(0, 0, 255);
        }
    }
    EXPECT_GT(red, 10) << "the computed sticks";
    EXPECT_GT(blue, 10) << "the measured sticks";
    EXPECT_TRUE(SaveBmp(picture, ShotPath("dlg-main-chart.bmp")));
}

// An [M+Na]+ search wide enough for more than one formula, ranked against
// measured peaks of glucose with sodium; the best candidate's distribution
// drawn at m/z. Wider than at creation, so that the Rms column shows.
TEST_F(SampleSearch, MainWindowRanksAnIonSearchAgainstMeasuredPeaks) {
    PickEntry(window_, CB_Ion, 4);  // [M+Na]+
    SetWindowTextA(Item(STR_Mass), "203.0527");
    SetWindowTextA(Item(STR_Ppm), "150");
    SendMessageA(Item(BT_Search), BM_CLICK, 0, 0);
    SetWindowTextA(Item(ME_ExData), "203.0527 100\r\n204.0561 6.6\r\n205.0569 1.5");
    SendMessageA(Item(BT_ExUpdate), BM_CLICK, 0, 0);
    SendMessageA(window_, WM_COMMAND, PM_ResRank, 0);
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Item(LV_Results), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageA(window_, WM_COMMAND, PM_ResIsoDist, 0);
    SetWindowPos(window_, nullptr, 10, 10, 1000, 479, SWP_NOZORDER);
    SendMessageA(Item(LV_Results), LVM_SETCOLUMNWIDTH, 2, 110);
    SendMessageA(Item(LV_Results), LVM_SETCOLUMNWIDTH, 6, 56);  // Ion
    SetFocus(Item(LV_Results));
    Pump();

    const HWND list = Item(LV_Results);
    const auto cell = [list](int row, int column) { return ListCell(list, row, column); };
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_GT(rows, 1);
    EXPECT_EQ(cell(0, 1), "C6H12O6") << "a hexose fits best";
    EXPECT_NE(cell(rows - 1, 1), "C6H12O6") << "another formula fits worse";
    EXPECT_FALSE(cell(0, 4).empty());
    const std::vector<std::string> asked = standIn_.Recording().CommandsStartingWith("IsoDist ");
    EXPECT_NE(std::find(asked.begin(), asked.end(), "IsoDist C6H12NaO6"), asked.end());
    char title[64] = {};
    GetWindowTextA(Item(TC_IsoChart), title, sizeof title);
    EXPECT_EQ(std::string(title), "Rms = " + cell(0, 4));
    EXPECT_TRUE(SaveBmp(Capture(window_), ShotPath("dlg-main-ions.bmp")));
    // The host's own CopyText takes the table as it is, tabs and line ends.
    SendMessageA(window_, WM_COMMAND, PM_ResCopyTable, 0);
    EXPECT_EQ(standIn_.Services().clipboard.rfind(
                  "Mass\tFormula\tName\tIon\tError (ppm)\tRms\tScore\tIon formula\tm/z (calc.)\t"
                  "m/z (measured)\r\n",
                  0),
              0u);
}

// The same search ranked by the score at a low resolving power, where a
// peak is wide enough to see: the Score column and the best candidate's
// profile (Show profile) over the measured sticks.
TEST_F(SampleSearch, MainWindowShowsTheScoreAndTheProfile) {
    PickEntry(window_, CB_Ion, 4);  // [M+Na]+
    SetWindowTextA(Item(STR_Mass), "203.0527");
    SetWindowTextA(Item(STR_Ppm), "150");
    SetWindowTextA(Item(STR_Resolution), "2000");
    SendMessageA(Item(BT_Search), BM_CLICK, 0, 0);
    SetWindowTextA(Item(ME_ExData), "203.0527 100\r\n204.0561 6.6\r\n205.0569 1.5");
    SendMessageA(Item(BT_ExUpdate), BM_CLICK, 0, 0);
    SendMessageA(window_, WM_COMMAND, PM_ResRank, 0);
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Item(LV_Results), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageA(window_, WM_COMMAND, PM_ResIsoDist, 0);
    SendMessageA(window_, WM_COMMAND, PM_IC_ShowProfile, 0);
    SetWindowPos(window_, nullptr, 10, 10, 1000, 479, SWP_NOZORDER);
    SendMessageA(Item(LV_Results), LVM_SETCOLUMNWIDTH, 1, 80);
    SendMessageA(Item(LV_Results), LVM_SETCOLUMNWIDTH, 2, 90);
    SendMessageA(Item(LV_Results), LVM_SETCOLUMNWIDTH, 6, 56);  // Ion
    SetFocus(Item(LV_Results));
    Pump();

    const HWND list = Item(LV_Results);
    const auto cell = [list](int row, int column) { return ListCell(list, row, column); };
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_GT(rows, 1);
    EXPECT_EQ(cell(0, 1), "C6H12O6") << "a hexose fits best";
    EXPECT_FALSE(cell(0, 5).empty());
    int last = rows - 1;
    while (last > 0 && cell(last, 5).empty()) --last;
    EXPECT_GT(std::atof(cell(0, 5).c_str()), std::atof(cell(last, 5).c_str()));
    EXPECT_TRUE(SaveBmp(Capture(window_), ShotPath("dlg-main-fit.bmp")));
}

// A search for three ions at once, as the settings keep the set: at
// 143.0258 the sample database holds C8H8 as [M+K]+ and the chloroanisoles
// and chlorocresols (C7H7ClO) as [M+H]+; the Ion column names each row's.
TEST_F(SampleSearch, MainWindowSearchesSeveralIonsAtOnce) {
    plugin_.Free();
    host_.WriteSettings("[Ionsift]\r\nDATABASE=structures\r\nMASS=143.0258\r\nPPM=10\r\n"
                        "IONSET=[M+H]+;[M+Na]+;[M+K]+\r\n");
    plugin_.Init(standIn_.Context());
    plugin_.Call(101);
    window_ = standIn_.Recording().OpenedWindows().back();
    SendMessageA(Item(BT_Search), BM_CLICK, 0, 0);
    // The first row's distribution as its own ion, C8H8 with potassium.
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Item(LV_Results), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageA(window_, WM_COMMAND, PM_ResIsoDist, 0);
    SetWindowPos(window_, nullptr, 10, 10, 1000, 479, SWP_NOZORDER);
    SendMessageA(Item(LV_Results), LVM_SETCOLUMNWIDTH, 2, 170);
    SendMessageA(Item(LV_Results), LVM_SETCOLUMNWIDTH, 1, 80);
    SetFocus(Item(LV_Results));
    Pump();

    const HWND list = Item(LV_Results);
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<std::string> ions;
    for (int row = 0; row < rows; ++row) ions.push_back(ListCell(list, row, 6));
    EXPECT_NE(std::find(ions.begin(), ions.end(), "[M+H]+"), ions.end());
    EXPECT_NE(std::find(ions.begin(), ions.end(), "[M+K]+"), ions.end());
    char selector[32] = {};
    GetWindowTextA(Item(CB_Ion), selector, sizeof selector);
    EXPECT_STREQ(selector, "3 ions");
    const std::vector<std::string> asked = standIn_.Recording().CommandsStartingWith("IsoDist ");
    EXPECT_NE(std::find(asked.begin(), asked.end(), "IsoDist C8H8K"), asked.end());
    EXPECT_TRUE(SaveBmp(Capture(window_), ShotPath("dlg-main-several-ions.bmp")));
}

// "Open spectrum..." on an mzML run of several MS1 scans: the pick list,
// captured inside its own loop, then the hexose's scan taken from it and
// drawn against the first candidate's distribution.
TEST_F(SampleSearch, PickListOffersTheScansOfARun) {
    SendMessageA(window_, WM_COMMAND, PM_ResIsoDist, 0);
    std::vector<spectrum_files::Scan> scans;
    const double seconds[] = {61.2, 95.8, 131.5, 170.1};
    for (int i = 0; i < 4; ++i) {
        spectrum_files::Scan scan;
        scan.scan = 1201 + 37 * i;
        scan.rtSeconds = seconds[i];
        scan.mz = {150.0553 + i, 180.0631, 181.0669, 182.0673, 203.0526};
        scan.intensity = {2400.0 * (i + 1), 9000.0 * (i == 2 ? 4 : 1), 600, 125, 1500};
        scans.push_back(scan);
    }
    const std::string file = host_.Path() + "hexose-run.mzML";
    std::ofstream(file, std::ios::binary) << spectrum_files::Mzml(scans, {32, true, true});

    SpectrumDialogScript script;
    script.file = file;
    script.pickRow = 2;
    bool saved = false;
    script.onPickList = [&](HWND form) {
        Pump();
        saved = SaveBmp(Capture(form), ShotPath("dlg-spectra.bmp"));
    };
    OpenSpectrumThroughDialogs(Item(ME_ExData), script);
    EXPECT_TRUE(saved);
    EXPECT_EQ(script.listCells.size(), 4u);
    char title[64] = {};
    GetWindowTextA(Item(TC_IsoChart), title, sizeof title);
    EXPECT_EQ(std::string(title).rfind("Rms = ", 0), 0u) << title;
}

// The spreadsheet stand-in's window after "Send to Excel": the sheet named
// after the search, the titles in bold.
TEST_F(SampleSearch, SheetStandInShowsTheExportedCandidates) {
    SendMessageA(window_, WM_COMMAND, PM_ResExcel, 0);
    EXPECT_TRUE(standIn_.Services().messageBoxes.empty()) << "the export failed";
    // Out of the tool window's way, which stays on top.
    ShowWindow(window_, SW_HIDE);
    const HWND sheet = FindWindowA("IonsiftSheetStandIn", nullptr);
    ASSERT_NE(sheet, nullptr) << "the stand-in showed no window";
    SetWindowPos(sheet, HWND_TOP, 20, 20, 640, 360, SWP_SHOWWINDOW);
    Pump();
    EXPECT_TRUE(SaveBmp(Capture(sheet), ShotPath("sheet-stand-in.bmp")));
    SendMessageA(sheet, WM_CLOSE, 0, 0);
}

INSTANTIATE_TEST_SUITE_P(Languages, Screenshot, ::testing::Values("english", "german"));

}  // namespace
}  // namespace ionsift::wintest
