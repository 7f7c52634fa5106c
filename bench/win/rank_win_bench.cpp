// Ranking by isotope fit in the real Ionsift.dll under Wine, served by the
// stand-in host's own command interpreter from a large database: an [M+Na]+
// search for the maximum number of rows, then "Rank by isotope fit" against
// three measured peaks, timed from the command to the painted list. The
// host's share is the time spent serving the IsoDist commands.
//
//   rank_win_bench <host folder> <database name> [runs]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "tests/win/stand_in_host_win.h"
#include "tests/win/user_locale.h"

namespace {

using namespace ionsift;
using namespace ionsift::dlg_main;
using ionsift::wintest::StandInHost;

constexpr int kMainWindowRequest = 101;
constexpr int kSodiumEntry = 2;  // [M+Na]+ in CB_Ion
// The densest part of the synthetic masses, as [M+Na]+, wide enough that the
// maximum limits the rows; and a measured pattern near there.
constexpr const char* kMz = "423.2";
constexpr const char* kPpm = "40000";
constexpr const char* kPeaks = "423.2 100\n424.2 22\n425.2 4\n";

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

class RankBench {
public:
    RankBench(const std::string& folder, std::string database)
        : folder_(folder), database_(std::move(database)) {
        QueryPerformanceFrequency(&frequency_);
        separator_ = wintest::UserLocaleSeparator();
    }
    ~RankBench() {
        if (started_) plugin_.Free();
        if (appWindow_) DestroyWindow(appWindow_);
    }

    bool Start(std::string& problem) {
        if (!plugin_.Loaded()) return (problem = "cannot load Ionsift.dll"), false;
        appWindow_ = wintest::CreateHostAppWindow();
        HostContext& context = host_.Context();
        context.appWindow = appWindow_;
        std::snprintf(context.hostDirectory, sizeof context.hostDirectory, "%s", folder_.c_str());
        std::snprintf(context.settingsPath, sizeof context.settingsPath, "%srank-bench.ini",
                      folder_.c_str());
        DeleteFileA(context.settingsPath);
        plugin_.Init(context);
        started_ = true;
        if (plugin_.Call(kMainWindowRequest) != 1 || host_.Recording().OpenedWindows().empty()) {
            return (problem = "the tool window did not open"), false;
        }
        main_ = host_.Recording().OpenedWindows().back();
        list_ = wintest::FindControl(main_, LV_Results);
        Pick(CB_Database, static_cast<int>(SendMessageA(Item(CB_Database), CB_FINDSTRINGEXACT,
                                                        static_cast<WPARAM>(-1),
                                                        reinterpret_cast<LPARAM>(database_.c_str()))));
        if (host_.Databases().OpenCount() != 1) return (problem = "the host did not open " + database_), false;
        Pick(CB_Ion, kSodiumEntry);
        SetText(STR_Mass, kMz);
        SetText(STR_Ppm, kPpm);
        SetText(ME_ExData, kPeaks);
        SendMessageA(Item(BT_ExUpdate), BM_CLICK, 0, 0);
        return true;
    }

    // Searches for `maximum` rows, then ranks them `runs` times; the median
    // and largest total, the host's median share, and the IsoDist commands.
    void Rank(int maximum, int runs) {
        SetText(STR_MaxResults, std::to_string(maximum));
        SendMessageA(Item(BT_Search), BM_CLICK, 0, 0);
        const int rows = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
        std::vector<double> totals, hosts;
        std::size_t commands = 0;
        for (int run = 0; run < runs; ++run) {
            Pump();
            RedrawWindow(main_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            host_.ResetCommandTime();
            const std::size_t before = host_.Recording().Commands().size();
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            SendMessageA(main_, WM_COMMAND, MAKEWPARAM(PM_ResRank, 0), 0);
            RedrawWindow(main_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            QueryPerformanceCounter(&end);
            totals.push_back(Milliseconds(end.QuadPart - start.QuadPart));
            hosts.push_back(host_.CommandSeconds() * 1000);
            commands = 0;
            for (std::size_t i = before; i < host_.Recording().Commands().size(); ++i) {
                commands += host_.Recording().Commands()[i].rfind("IsoDist ", 0) == 0;
            }
        }
        std::printf("%7d %9zu %10.2f %9.2f %12.2f   %s\n", rows, commands, Median(totals),
                    *std::max_element(totals.begin(), totals.end()), Median(hosts),
                    FirstRow().c_str());
    }

private:
    HWND Item(int id) const { return wintest::FindControl(main_, id); }
    void Pick(int id, int index) const {
        HWND selector = Item(id);
        SendMessageA(selector, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(GetParent(selector), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(selector));
    }
    void SetText(int id, std::string text) const {
        std::replace(text.begin(), text.end(), '.', separator_);
        SetWindowTextA(Item(id), text.c_str());
    }
    std::string FirstRow() const {
        std::string row;
        for (int column = 0; column < 5; ++column) {
            char text[256] = {};
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list_, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
            row += (column ? " | " : "") + std::string(text);
        }
        return row;
    }
    static void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    double Milliseconds(LONGLONG ticks) const {
        return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency_.QuadPart);
    }

    StandInHost host_;
    wintest::Plugin plugin_;
    std::string folder_;
    std::string database_;
    LARGE_INTEGER frequency_{};
    char separator_ = '.';
    bool started_ = false;
    HWND appWindow_ = nullptr;
    HWND main_ = nullptr;
    HWND list_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: rank_win_bench <host folder> <database name> [runs]\n");
        return 2;
    }
    std::string folder = argv[1];
    if (folder.back() != '\\') folder += '\\';
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;

    RankBench bench(folder, argv[2]);
    std::string problem;
    if (!bench.Start(problem)) {
        std::fprintf(stderr, "rank_win_bench: %s\n", problem.c_str());
        return 1;
    }
    std::printf("Rank by isotope fit under Wine, [M+Na]+ at %s +- %s ppm, database %s (ms)\n", kMz,
                kPpm, argv[2]);
    std::printf("%7s %9s %10s %9s %12s   %s\n", "rows", "IsoDist", "median", "max", "host median",
                "first row after ranking");
    bench.Rank(200, runs);
    bench.Rank(20000, std::max(1, runs / 3));
    return 0;
}
