// Printing the isotope chart from the real Ionsift.dll onto the private PDF
// printer (scripts/pdf-printer): the print dialog shows centred over the tool
// window, OK prints and Cancel does not. The PDF itself is read back by
// chart_print.sh, which runs this program; it learns the document name and
// the chart's size from the notes this program writes to
// IONSIFT_PRINT_NOTES.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "tests/win/plugin_harness.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;

constexpr int kMainWindowRequest = 101;
constexpr char kPrinter[] = "PDF";

struct Found {
    HWND owner;
    HWND dialog;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<Found*>(data);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770" && GetWindow(window, GW_OWNER) == found->owner &&
        IsWindowVisible(window)) {
        found->dialog = window;
        return FALSE;
    }
    return TRUE;
}

// Where the print dialog showed and what became of it, seen from a second
// thread while the tool window's thread runs the modal dialog.
struct DialogWatch {
    bool appeared = false;
    RECT dialog{};
    std::string okText;
};

class ChartPrint : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(plugin_.Loaded());
        appWindow_ = CreateHostAppWindow();
        host_.Context().appWindow = appWindow_;
        folder_.UseIn(host_.Context());
        folder_.WriteSettings("[Ionsift]\r\nDATABASE=samples\r\nMASS=100\r\nPPM=2\r\n");
        host_.Respond([](const std::string& command) -> HostAnswer {
            if (command.rfind("DbOpen ", 0) == 0) return {0, "H1"};
            if (command.rfind("DbSqlExec ", 0) == 0) return {0, "1;100.0;C8H4;candidate\n"};
            if (command.rfind("IsoDist ", 0) == 0) return {0, "100 100\n101 20\n"};
            return {0, ""};
        });
        plugin_.Init(host_.Context());
        ASSERT_EQ(plugin_.Call(kMainWindowRequest), 1);
        ASSERT_FALSE(host_.OpenedWindows().empty());
        main_ = host_.OpenedWindows().back();
    }
    void TearDown() override {
        plugin_.Free();
        DestroyWindow(appWindow_);
    }

    // Chooses Print from the chart's menu; a second thread waits for the
    // dialog, notes its place and presses `button`.
    DialogWatch PrintPressing(int button) {
        DialogWatch watch;
        std::atomic<bool> returned{false};
        std::thread watcher([&] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            Found found{main_, nullptr};
            while (!returned && std::chrono::steady_clock::now() < deadline) {
                EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&found));
                if (found.dialog) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            if (!found.dialog) return;
            watch.appeared = true;
            GetWindowRect(found.dialog, &watch.dialog);
            char text[64] = {};
            GetWindowTextA(GetDlgItem(found.dialog, IDOK), text, sizeof text);
            watch.okText = text;
            PostMessageA(found.dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(found.dialog, button)));
        });
        SendMessageA(main_, WM_COMMAND, MAKEWPARAM(PM_IC_Print, 0), 0);
        returned = true;
        watcher.join();
        return watch;
    }

    // Centred over the tool window, each half taken toward minus infinity,
    // then kept inside the screen.
    void ExpectCentredOverMain(const RECT& dialog) const {
        RECT owner{};
        GetWindowRect(main_, &owner);
        const long width = dialog.right - dialog.left;
        const long height = dialog.bottom - dialog.top;
        long left = owner.left + ((owner.right - owner.left) - width) / 2;
        long top = owner.top + ((owner.bottom - owner.top) - height) / 2;
        const long screenRight = GetSystemMetrics(SM_CXSCREEN);
        const long screenBottom = GetSystemMetrics(SM_CYSCREEN);
        left = left + width >= screenRight ? screenRight - width : left < 0 ? 0 : left;
        top = top + height >= screenBottom ? screenBottom - height : top < 0 ? 0 : top;
        EXPECT_NEAR(dialog.left, left, 1);
        EXPECT_NEAR(dialog.top, top, 1);
    }

    HWND Chart() const { return FindControl(main_, TC_IsoChart); }

    // A candidate's distribution and measured peaks on the chart, so that
    // its title shows the RMS deviation.
    void CompareWithMeasuredPeaks() const {
        SendMessageA(FindControl(main_, BT_Search), BM_CLICK, 0, 0);
        LVITEMA item{};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(FindControl(main_, LV_Results), LVM_SETITEMSTATE, 0,
                     reinterpret_cast<LPARAM>(&item));
        SendMessageA(main_, WM_COMMAND, MAKEWPARAM(PM_ResIsoDist, 0), 0);
        SetWindowTextA(FindControl(main_, ME_ExData), "100 50\r\n101 5");
        SendMessageA(FindControl(main_, BT_ExUpdate), BM_CLICK, 0, 0);
    }

    Plugin plugin_;
    RecordingHost host_;
    TempHostFolder folder_{{"samples"}};
    HWND appWindow_ = nullptr;
    HWND main_ = nullptr;
};

// The printer reaches Wine through libcups (CUPS_SERVER names the private
// server); the first process of a prefix to see it installs it.
TEST(PrivatePrinter, WineListsItAsTheDefault) {
    const auto start = std::chrono::steady_clock::now();
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    ASSERT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed,
                              &count));
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("EnumPrintersA took %lld ms\n", static_cast<long long>(elapsed.count()));
    std::vector<std::string> names;
    const auto* printers = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) names.emplace_back(printers[i].pPrinterName);
    EXPECT_NE(std::find(names.begin(), names.end(), kPrinter), names.end());

    char name[256] = {};
    DWORD size = sizeof name;
    ASSERT_TRUE(GetDefaultPrinterA(name, &size));
    EXPECT_STREQ(name, kPrinter);
}

TEST_F(ChartPrint, CancelLeavesNoJobAndNoBusyCursor) {
    const DialogWatch watch = PrintPressing(IDCANCEL);
    ASSERT_TRUE(watch.appeared) << "no print dialog owned by the tool window";
    ExpectCentredOverMain(watch.dialog);
    EXPECT_TRUE(host_.CommandsStartingWith("Cursor").empty());
}

TEST_F(ChartPrint, OkPrintsOnePageUnderTheBusyCursor) {
    CompareWithMeasuredPeaks();
    char chartTitle[64] = {};
    GetWindowTextA(Chart(), chartTitle, sizeof chartTitle);
    ASSERT_EQ(std::string(chartTitle).rfind("Rms = ", 0), 0u) << chartTitle;
    const std::size_t mark = host_.Commands().size();
    const DialogWatch watch = PrintPressing(IDOK);
    ASSERT_TRUE(watch.appeared) << "no print dialog owned by the tool window";
    ExpectCentredOverMain(watch.dialog);
    const std::vector<std::string> sent(host_.Commands().begin() + static_cast<std::ptrdiff_t>(mark),
                                        host_.Commands().end());
    EXPECT_EQ(sent, (std::vector<std::string>{"Cursor Busy", "Cursor Default"}));

    // What the PDF check compares the page with.
    const char* notes = std::getenv("IONSIFT_PRINT_NOTES");
    ASSERT_NE(notes, nullptr) << "run through chart_print.sh";
    char caption[256] = {};
    GetWindowTextA(main_, caption, sizeof caption);
    RECT client{};
    GetClientRect(Chart(), &client);
    std::ofstream out(notes);
    out << "title=" << caption << "\nchart=" << client.right << "x" << client.bottom
        << "\nchart-title=" << chartTitle << "\n";
    EXPECT_TRUE(out.good());
}

}  // namespace
}  // namespace ionsift::wintest
