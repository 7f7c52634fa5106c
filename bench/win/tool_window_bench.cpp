#include "bench/win/tool_window_bench.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "resources/dlg_main_ids.h"
#include "tests/win/user_locale.h"

namespace ionsift::bench {

using namespace ionsift::dlg_main;

namespace {
constexpr int kMainWindowRequest = 101;
}  // namespace

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool ReadArguments(int argc, char** argv, const char* program, int defaultRuns,
                   BenchArguments& arguments) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <host folder> <database name> [runs]\n", program);
        return false;
    }
    arguments.folder = argv[1];
    if (arguments.folder.back() != '\\') arguments.folder += '\\';
    arguments.database = argv[2];
    arguments.runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : defaultRuns;
    return true;
}

ToolWindowBench::ToolWindowBench(std::string folder, std::string database, std::string settingsName,
                                 std::string settings)
    : folder_(std::move(folder)),
      database_(std::move(database)),
      settingsName_(std::move(settingsName)),
      settings_(std::move(settings)) {
    QueryPerformanceFrequency(&frequency_);
    separator_ = wintest::UserLocaleSeparator();
}

ToolWindowBench::~ToolWindowBench() {
    if (started_) plugin_.Free();
    if (appWindow_) DestroyWindow(appWindow_);
}

bool ToolWindowBench::Start(std::string& problem) {
    if (!plugin_.Loaded()) return (problem = "cannot load Ionsift.dll"), false;
    appWindow_ = wintest::CreateHostAppWindow();
    HostContext& context = host_.Context();
    context.appWindow = appWindow_;
    std::snprintf(context.hostDirectory, sizeof context.hostDirectory, "%s", folder_.c_str());
    std::snprintf(context.settingsPath, sizeof context.settingsPath, "%s%s", folder_.c_str(),
                  settingsName_.c_str());
    DeleteFileA(context.settingsPath);  // the defaults every run
    if (!settings_.empty()) {
        const HANDLE file = CreateFileA(context.settingsPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        const bool ok = file != INVALID_HANDLE_VALUE &&
                        WriteFile(file, settings_.data(), static_cast<DWORD>(settings_.size()), &written,
                                  nullptr) &&
                        written == settings_.size();
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        if (!ok) return (problem = "cannot write the settings"), false;
    }
    plugin_.Init(context);
    started_ = true;
    if (plugin_.Call(kMainWindowRequest) != 1 || host_.Recording().OpenedWindows().empty()) {
        return (problem = "the tool window did not open"), false;
    }
    main_ = host_.Recording().OpenedWindows().back();
    list_ = wintest::FindControl(main_, LV_Results);
    const LRESULT index = SendMessageA(Item(CB_Database), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(database_.c_str()));
    if (index <= 0) return (problem = database_ + " is not in the database list"), false;
    Pick(CB_Database, static_cast<int>(index));
    if (host_.Databases().OpenCount() != 1) return (problem = "the host did not open " + database_), false;
    return true;
}

HWND ToolWindowBench::Item(int id) const { return wintest::FindControl(main_, id); }

int ToolWindowBench::RowCount() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::string ToolWindowBench::FirstRow(int columns) const {
    std::string row;
    for (int column = 0; column < columns; ++column) {
        row += (column ? " | " : "") + wintest::ListCell(list_, 0, column);
    }
    return row;
}

void ToolWindowBench::SetText(int id, std::string text) const {
    std::replace(text.begin(), text.end(), '.', separator_);
    SetWindowTextA(Item(id), text.c_str());
}

void ToolWindowBench::Settle() const {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    PaintNow();
}

void ToolWindowBench::PaintNow() const {
    RedrawWindow(main_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

LONGLONG ToolWindowBench::Ticks() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double ToolWindowBench::Seconds(LONGLONG ticks) const {
    return static_cast<double>(ticks) / static_cast<double>(frequency_.QuadPart);
}

}  // namespace ionsift::bench
