// Measured spectra into the experimental edit of the real Ionsift.dll behind
// a recording host: the edit menu's spectrum rows, the real open dialog and
// the pick list driven as a user would, the edit's text and the Update after
// it, a pasted vendor table, and files that are refused with the edit left
// as it was. Registered under a point and a comma locale.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "tests/native/spectrum_file_writer.h"
#include "tests/win/spectrum_dialogs.h"
#include "tests/win/tool_window_fixture.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;

// ---- Files the tests write -------------------------------------------------

using spectrum_files::Encoding;
using spectrum_files::Scan;

Scan MakeScan(long number, int msLevel, double seconds, std::vector<double> mz,
              std::vector<double> intensity) {
    Scan scan;
    scan.scan = number;
    scan.msLevel = msLevel;
    scan.rtSeconds = seconds;
    scan.mz = std::move(mz);
    scan.intensity = std::move(intensity);
    return scan;
}

// Glucose as [M+H]+ (181.0707) among noise: the searched window 180.07 to
// 187.07 holds three of its peaks; 150.0 and 200.0 lie outside.
const Scan kGlucoseScan = MakeScan(12, 1, 150, {150.0, 181.0707, 182.074, 183.0764, 200.0},
                                   {9000, 5000, 345, 100, 20000});
const std::vector<Scan> kRun = {
    MakeScan(11, 1, 135, {150.0, 151.0}, {800, 40}),
    MakeScan(40, 2, 144, {80.0}, {10}),  // MS2: not listed
    kGlucoseScan,
};
// As converters write them: an indexed mzML of zlib-compressed 32-bit
// arrays, and a plain one of 64-bit arrays.
const Encoding kIndexedZlib32{32, true, true};
const Encoding kPlain64{64, false, false};

const char kTwoBlocks[] =
    "BEGIN IONS\nTITLE=caffeine\nPEPMASS=195.0877 1000\n195.0877 100\n196.0911 10\nEND IONS\n"
    "BEGIN IONS\nTITLE=glucose [M+H]+\nPEPMASS=181.0707\n181.0707 5000\n182.074 345\nEND IONS\n";

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
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

// What the last OpenSpectrum did in the dialogs and saw there.
SpectrumDialogScript g_open;

// ---- The window -------------------------------------------------------------

// The host's distribution of glucose [M+H]+ that the measured peaks meet.
const char kGlucoseDistribution[] = "181.0707 100\n182.074 8\n183.0764 2\n";

class SpectrumWindow : public ToolWindowTest {
protected:
    SpectrumWindow() { queryRows_ = "31;180.063388;C6H12O6;glucose\n"; }

    void SetUp() override {
        ToolWindowTest::SetUp();
        if (HasFatalFailure()) return;
        files_ = folder_.Path() + "spectra\\";
        CreateDirectoryA(files_.c_str(), nullptr);
    }
    void TearDown() override {
        ToolWindowTest::TearDown();
        RemoveFolder(files_);
    }
    std::string Settings() const override {
        return "[Ionsift]\r\nDATABASE=samples\r\nMASS=181.07\r\nMAXRESULTS=200\r\nPPM=2000\r\n";
    }
    HostAnswer Answer(const std::string& command) override {
        if (command.rfind("IsoDist ", 0) == 0) return {0, kGlucoseDistribution};
        return ToolWindowTest::Answer(command);
    }

    // A search for 181.07, and the distribution of its one candidate drawn.
    void SearchAndDraw() {
        Click(BT_Search);
        ASSERT_EQ(RowCount(), 1);
        Select(0);
        Choose(PM_ResIsoDist);
    }
    // Chooses "Open spectrum..." in the edit's menu, opens `name` of the
    // test's folder and picks `row` if a list comes; the mark from which the
    // host's commands are the choice's.
    std::size_t OpenSpectrum(const std::string& name, int row = 0) {
        g_open = {};
        g_open.file = files_ + name;
        g_open.pickRow = row;
        const std::size_t mark = host_.Commands().size();
        OpenSpectrumThroughDialogs(Item(ME_ExData), g_open);
        return mark;
    }
    std::size_t PasteSpectrum(const std::string& text) {
        SetClipboardText(main_, text);
        const std::size_t mark = host_.Commands().size();
        SendMessageA(Item(ME_ExData), WM_COMMAND, MAKEWPARAM(PM_ExPasteSpectrum, 0), 0);
        return mark;
    }
    static void RemoveFolder(const std::string& folder) {
        WIN32_FIND_DATAA found{};
        const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveDirectoryA((folder + name).c_str());
                } else {
                    DeleteFileA((folder + name).c_str());
                }
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    std::string files_;
};

TEST_F(SpectrumWindow, TheEditsMenuEndsWithTheSpectrumRowsAfterASeparatorAndOnlyThere) {
    SetClipboardText(main_, "181.07 100");
    RECT edit{};
    GetWindowRect(Item(ME_ExData), &edit);
    MenuItems menu = ReadPopup(Item(ME_ExData), {edit.left + 10, edit.top + 10});
    ASSERT_TRUE(menu.opened);
    const std::vector<std::string> rows = {
        "&Undo\tCtrl+Z", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-",
        "&Select all\tCtrl+A", "-", "&Open spectrum\x85", "Paste spectru&m"};
    EXPECT_EQ(menu.rows, rows);
    ASSERT_EQ(menu.ids.size(), 8u);
    EXPECT_EQ(menu.ids[6], static_cast<UINT>(PM_ExOpenSpectrum));
    EXPECT_EQ(menu.ids[7], static_cast<UINT>(PM_ExPasteSpectrum));
    EXPECT_TRUE(menu.enabled[6]);
    EXPECT_TRUE(menu.enabled[7]);

    // Paste spectrum needs text on the clipboard; Open spectrum does not.
    ASSERT_TRUE(OpenClipboard(main_));
    EmptyClipboard();
    CloseClipboard();
    menu = ReadPopup(Item(ME_ExData), {edit.left + 10, edit.top + 10});
    ASSERT_EQ(menu.enabled.size(), 8u);
    EXPECT_TRUE(menu.enabled[6]);
    EXPECT_FALSE(menu.enabled[7]);

    // The other edits keep the six rows alone.
    RECT mass{};
    GetWindowRect(Item(STR_Mass), &mass);
    menu = ReadPopup(Item(STR_Mass), {mass.left + 5, mass.top + 5});
    ASSERT_TRUE(menu.opened);
    EXPECT_EQ(menu.rows.size(), 8u);
}

// Each file holds several spectra: the pick list shows the format's columns,
// the row picked goes into the edit, cut to the searched m/z's window.
struct PickCase {
    const char* name;
    std::string bytes;
    std::vector<std::vector<std::string>> cells;  // "." for the user's separator
    int pick;
    const char* edit;
};

TEST_F(SpectrumWindow, APickedSpectrumFillsTheEditAndIsDrawnAsUpdateWould) {
    // The MS2 scan is not listed; the base peak is the tallest. Scaled to
    // the tallest in the window: 345 / 5000 = 6.9 %, 100 / 5000 = 2 %.
    const std::vector<std::vector<std::string>> scans = {{"11", "2.25", "150.0000"},
                                                         {"12", "2.50", "200.0000"}};
    const char* glucose = "181.0707 100\r\n182.074 6.9\r\n183.0764 2\r\n";
    const PickCase cases[] = {
        {"indexed.mzML", spectrum_files::Mzml(kRun, kIndexedZlib32), scans, 1, glucose},
        {"plain.mzML", spectrum_files::Mzml(kRun, kPlain64), scans, 1, glucose},
        {"run.mzXML", spectrum_files::Mzxml(kRun, kPlain64), scans, 1, glucose},
        {"two.mgf", kTwoBlocks, {{"caffeine", "195.0877"}, {"glucose [M+H]+", "181.0707"}}, 1,
         "181.0707 100\r\n182.074 6.9\r\n"},
    };
    ASSERT_NO_FATAL_FAILURE(SearchAndDraw());
    for (const PickCase& test : cases) {
        SCOPED_TRACE(test.name);
        WriteFile(files_ + test.name, test.bytes);
        SetWindowTextA(Item(ME_ExData), "");
        const std::size_t mark = OpenSpectrum(test.name, test.pick);
        EXPECT_TRUE(g_open.openShown);
        ASSERT_TRUE(g_open.listShown);
        std::vector<std::vector<std::string>> local;
        for (const auto& row : test.cells) {
            local.emplace_back();
            for (const std::string& cell : row) local.back().push_back(Local(cell));
        }
        EXPECT_EQ(g_open.listCells, local);
        EXPECT_EQ(g_open.listText, std::string(test.name) + " holds 2 spectra. Choose one:");
        EXPECT_EQ(TextOf(ME_ExData), Local(test.edit));
        EXPECT_TRUE(CommandsLike(mark, "messagebox ").empty());
    }
    // Drawn as Update draws: against 100, 8, 2 computed, the deviations are
    // 0, 1.1 and 0, so Rms = sqrt(1.21 / 3) = 0.635 (the MGF's two peaks:
    // sqrt(1.21 / 2) = 0.778, the third computed peak finding none).
    const std::string afterMgf = TextOf(TC_IsoChart);
    SetWindowTextA(Item(ME_ExData), Local("181.0707 100\r\n182.074 6.9\r\n").c_str());
    Click(BT_ExUpdate);
    EXPECT_EQ(afterMgf, TextOf(TC_IsoChart)) << "the same title as Update gives";
    EXPECT_NE(afterMgf, "");
}

TEST_F(SpectrumWindow, WithoutASearchTheWholeSpectrumIsWritten) {
    WriteFile(files_ + "one.mzML", spectrum_files::Mzml({kGlucoseScan}, kPlain64));
    OpenSpectrum("one.mzML");
    EXPECT_FALSE(g_open.listShown) << "one spectrum: nothing to pick";
    // 20000 is the tallest: 9000 -> 45, 5000 -> 25, 345 -> 1.725, 100 -> 0.5.
    EXPECT_EQ(TextOf(ME_ExData),
              Local("150 45\r\n181.0707 25\r\n182.074 1.725\r\n183.0764 0.5\r\n200 100\r\n"));
    EXPECT_TRUE(IsWindowEnabled(Item(BT_ExUpdate)));
}

TEST_F(SpectrumWindow, CancellingThePickListLeavesTheEdit) {
    WriteFile(files_ + "run.mzML", spectrum_files::Mzml(kRun, kIndexedZlib32));
    SetWindowTextA(Item(ME_ExData), "100 50");
    const std::size_t mark = OpenSpectrum("run.mzML", -1);
    EXPECT_TRUE(g_open.listShown);
    EXPECT_EQ(TextOf(ME_ExData), "100 50");
    EXPECT_TRUE(CommandsLike(mark, "messagebox ").empty());
}

TEST_F(SpectrumWindow, APastedVendorTableWithDecimalCommasFillsTheEdit) {
    ASSERT_NO_FATAL_FAILURE(SearchAndDraw());
    // As a vendor's software copies its peak list: tab-separated with a
    // header row, German numbers; Res., S/N and FWHM are no intensities.
    const std::size_t mark = PasteSpectrum(
        "m/z\tRes.\tS/N\tI\tI%\tFWHM\r\n"
        "181,0707\t41000\t812\t1000000\t100,00\t0,0044\r\n"
        "182,0740\t40500\t60\t69000\t6,90\t0,0045\r\n"
        "183,0764\t40100\t17\t20000\t2,00\t0,0046\r\n");
    EXPECT_EQ(TextOf(ME_ExData), Local("181.0707 100\r\n182.074 6.9\r\n183.0764 2\r\n"));
    EXPECT_TRUE(CommandsLike(mark, "messagebox ").empty());
    // Update ran: the title is the one pressing Update gives for the text.
    const std::string pasted = TextOf(TC_IsoChart);
    Click(BT_ExUpdate);
    EXPECT_EQ(pasted, TextOf(TC_IsoChart));
    EXPECT_EQ(pasted, Local("Rms = 0.64"));
}

// Each refusal shows one message naming the file and the fault, and leaves
// the edit as it was.
struct RefusedCase {
    const char* name;
    std::string bytes;
    const char* reason;  // part of the reason the message gives
};

// A sparse file of `size` bytes: its length without its disk space.
bool MakeHugeFile(const std::string& path, std::int64_t size) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end;
    end.QuadPart = size;
    const bool made = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return made;
}

TEST_F(SpectrumWindow, DamagedOrUnreadableFilesAreNamedInAMessageAndTheEditStays) {
    std::string cut = spectrum_files::Mzml({kGlucoseScan}, kPlain64);
    const std::size_t binary = cut.find("<binary>") + 8;
    cut.erase(binary + 12, cut.find("</binary>", binary) - binary - 12);  // 12 of 56 digits left
    const RefusedCase cases[] = {
        {"cut.mzML", cut, "truncated base64"},
        {"half.mzML", spectrum_files::Mzml({kGlucoseScan}, kPlain64).substr(0, 700), "ends inside"},
        {"notes.txt", "sample notes\r\nno peaks here\r\n", "no row"},
        {"held.mgf", kTwoBlocks, "in use by another program"},
        {"huge.txt", "", "more than"},
    };
    for (const RefusedCase& test : cases) {
        SCOPED_TRACE(test.name);
        if (std::string(test.name) == "huge.txt") {
            ASSERT_TRUE(MakeHugeFile(files_ + test.name, std::int64_t{10} << 30));  // 10 GiB
        } else {
            WriteFile(files_ + test.name, test.bytes);
        }
        // Another program holds this one open without sharing it.
        const bool hold = std::string(test.name) == "held.mgf";
        const HANDLE held = hold ? CreateFileA((files_ + test.name).c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, 0, nullptr)
                                 : INVALID_HANDLE_VALUE;
        if (hold) {
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
        }
        SetWindowTextA(Item(ME_ExData), "100 50");
        const std::size_t mark = OpenSpectrum(test.name);
        if (hold) CloseHandle(held);
        const std::vector<std::string> messages = CommandsLike(mark, "messagebox ");
        ASSERT_EQ(messages.size(), 1u);
        const std::string expected =
            std::string("messagebox \"Can't read the spectrum:\n") + test.name + ": ";
        EXPECT_EQ(messages[0].substr(0, expected.size()), expected) << messages[0];
        EXPECT_NE(messages[0].find(test.reason), std::string::npos) << messages[0];
        EXPECT_EQ(TextOf(ME_ExData), "100 50");
        EXPECT_FALSE(g_open.listShown);
    }
}

TEST_F(SpectrumWindow, PastedTextThatIsNoPeakTableOrHasNoPeakInTheWindowIsRefused) {
    Click(BT_Search);
    SetWindowTextA(Item(ME_ExData), "100 50");
    std::size_t mark = PasteSpectrum("Sample: glucose\r\nOperator: A. N. Other\r\n");
    std::vector<std::string> messages = CommandsLike(mark, "messagebox ");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("messagebox \"Can't read the spectrum:\nClipboard: ", 0), 0u)
        << messages[0];
    EXPECT_EQ(TextOf(ME_ExData), "100 50");

    // Peaks, but none near the searched 181.07: window 180.07 to 187.07.
    mark = PasteSpectrum("m/z\tI\r\n95.0\t100\r\n300.2\t40\r\n");
    messages = CommandsLike(mark, "messagebox ");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("messagebox \"Clipboard: no peak between m/z " +
                                    Local("180.0700") + " and " + Local("187.0700") + "\"",
                                0),
              0u)
        << messages[0];
    EXPECT_EQ(TextOf(ME_ExData), "100 50");
}

}  // namespace
}  // namespace ionsift::wintest
