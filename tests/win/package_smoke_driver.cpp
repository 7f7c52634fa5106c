// Drives an installed copy of the plug-in as a user would, from outside the
// host's process: starts ionsift-host.exe in the host folder, has it choose
// the tool window's menu item, reads the window's inputs, optionally searches,
// captures the screen and closes the host. package_smoke.py checks what it
// prints, one "name=value" line per reading.
//
// usage: package_smoke_driver HOST_FOLDER MENU_CAPTION SCREENSHOT.bmp [DATABASE MASS PPM]
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/app/screenshot_win.h"
#include "resources/dlg_main_ids.h"
#include "tests/win/plugin_harness.h"

namespace {

using namespace ionsift::dlg_main;
using ionsift::wintest::FindControl;
using ionsift::wintest::PickEntry;

constexpr DWORD kPatienceMs = 60000;  // Wine's first start of a prefix is slow
constexpr DWORD kPollMs = 100;

struct HostProcess {
    PROCESS_INFORMATION info{};
    std::vector<HWND> windows;  // its visible top-level windows
};

BOOL CALLBACK AddProcessWindow(HWND window, LPARAM data) {
    auto* host = reinterpret_cast<HostProcess*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == host->info.dwProcessId && IsWindowVisible(window)) host->windows.push_back(window);
    return TRUE;
}

void ListWindows(HostProcess& host) {
    host.windows.clear();
    EnumWindows(AddProcessWindow, reinterpret_cast<LPARAM>(&host));
}

// The host's windows, the tool window among them once it is up; by its
// search button, since the host names nothing of the plug-in's.
HWND WaitForToolWindow(HostProcess& host) {
    for (DWORD waited = 0; waited < kPatienceMs; waited += kPollMs) {
        ListWindows(host);
        for (HWND window : host.windows) {
            if (FindControl(window, BT_Search) && FindControl(window, STR_Mass)) return window;
        }
        if (WaitForSingleObject(host.info.hProcess, kPollMs) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

// WM_GETTEXT and WM_SETTEXT are carried across processes; the list's own
// messages are not, hence the list cell below.
std::string TextOf(HWND control) {
    char text[512] = {};
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// A list cell read through a buffer in the host's memory.
std::string ListCell(HANDLE process, HWND list, int row, int column) {
    struct Remote {
        LVITEMA item;
        char text[256];
    };
    auto* remote = static_cast<Remote*>(
        VirtualAllocEx(process, nullptr, sizeof(Remote), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (remote == nullptr) return "<no memory in the host>";
    Remote local{};
    local.item.iSubItem = column;
    local.item.pszText = remote->text;
    local.item.cchTextMax = sizeof local.text;
    std::string cell = "<unreadable>";
    if (WriteProcessMemory(process, remote, &local, sizeof local, nullptr)) {
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
        if (ReadProcessMemory(process, remote, &local, sizeof local, nullptr)) {
            local.text[sizeof local.text - 1] = '\0';
            cell = local.text;
        }
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return cell;
}

// Waits until the host has handled everything posted so far and had time to paint.
void Settle(HWND window) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, &ignored);
    Sleep(500);
}

void Report(const char* name, const std::string& value) { std::printf("%s=%s\n", name, value.c_str()); }

// The entry with that text, picked as the user picks it.
bool PickDatabase(HWND tool, const char* name) {
    const LRESULT index = SendMessageA(FindControl(tool, CB_Database), CB_FINDSTRINGEXACT,
                                       static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    if (index == CB_ERR) return false;
    PickEntry(tool, CB_Database, static_cast<int>(index));
    return true;
}

bool Search(HostProcess& host, HWND tool, const char* database, const char* mass, const char* ppm) {
    if (!PickDatabase(tool, database)) {
        Report("database_problem", std::string("no entry ") + database);
        return false;
    }
    SendMessageA(FindControl(tool, STR_Mass), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(mass));
    SendMessageA(FindControl(tool, STR_Ppm), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ppm));
    const HWND button = FindControl(tool, BT_Search);
    Report("search_enabled", IsWindowEnabled(button) ? "yes" : "no");
    if (!IsWindowEnabled(button)) return false;
    SetForegroundWindow(tool);
    SendMessageA(button, BM_CLICK, 0, 0);

    const HWND list = FindControl(tool, LV_Results);
    int rows = 0;
    for (DWORD waited = 0; waited < kPatienceMs && rows == 0; waited += kPollMs) {
        rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        if (rows == 0) Sleep(kPollMs);
    }
    Report("rows", std::to_string(rows));
    Report("found", TextOf(FindControl(tool, LBL_FoundNumVal)));
    if (rows > 0) {
        Report("first_row", ListCell(host.info.hProcess, list, 0, 0) + "|" +
                                ListCell(host.info.hProcess, list, 0, 1) + "|" +
                                ListCell(host.info.hProcess, list, 0, 2));
    }
    return rows > 0;
}

bool Screenshot(HostProcess& host, const std::string& path) {
    ListWindows(host);
    RECT area{};
    for (HWND window : host.windows) {
        RECT rect{};
        GetWindowRect(window, &rect);
        UnionRect(&area, &area, &rect);
    }
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&area, &area, &screen);
    std::string problem;
    if (ionsift::host::CaptureScreenToBmp(area, path, problem)) return true;
    Report("screenshot_problem", problem);
    return false;
}

int CloseHost(HostProcess& host, HWND main) {
    PostMessageA(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(host.info.hProcess, kPatienceMs) != WAIT_OBJECT_0) {
        TerminateProcess(host.info.hProcess, 99);
        Report("host_exit", "did not end");
        return 1;
    }
    DWORD status = 0;
    GetExitCodeProcess(host.info.hProcess, &status);
    Report("host_exit", std::to_string(status));
    return status == 0 ? 0 : 1;
}

HWND HostMainWindow(const HostProcess& host) {
    for (HWND window : host.windows) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpA(name, "IonsiftStandInHost") == 0) return window;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 7) {
        std::fprintf(stderr, "usage: package_smoke_driver HOST_FOLDER MENU_CAPTION SCREENSHOT.bmp "
                             "[DATABASE MASS PPM]\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::string commandLine = "\"" + folder + "\\ionsift-host.exe\" --choose \"" + argv[2] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    HostProcess host;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &host.info)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", commandLine.c_str(), GetLastError());
        return 1;
    }
    const HWND tool = WaitForToolWindow(host);
    const HWND main = HostMainWindow(host);
    Report("tool_window", tool ? "open" : "none");
    if (tool == nullptr || main == nullptr) {
        if (main) CloseHost(host, main);
        return 1;
    }
    Settle(tool);
    const int inputs[] = {STR_Mass, STR_Ppm, STR_MaxResults, CB_Database, CB_Ion, STR_Resolution};
    const char* names[] = {"mass", "ppm", "max_results", "database", "ion", "resolution"};
    for (int i = 0; i < 6; ++i) Report(names[i], TextOf(FindControl(tool, inputs[i])));

    bool ok = true;
    if (argc == 7) {
        ok = Search(host, tool, argv[4], argv[5], argv[6]);
        Settle(tool);
    }
    ok = Screenshot(host, argv[3]) && ok;
    return (CloseHost(host, main) == 0 && ok) ? 0 : 1;
}
