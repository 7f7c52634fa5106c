// The spreadsheet stand-in as the Windows tests drive it: its journal in a
// temporary file, a member made to fail on command, its window, and the
// ProgID registration hidden for a while.
#pragma once

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

namespace ionsift::wintest {

constexpr char kSheetWindowClass[] = "IonsiftSheetStandIn";

// An environment variable of the test's process, set for the object's life;
// the stand-in reads it on every call.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        SetEnvironmentVariableA(name_, value.c_str());
    }
    ~ScopedEnvironment() { SetEnvironmentVariableA(name_, nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
};

// The stand-in journals into a fresh file while this lives.
class SheetJournal {
public:
    SheetJournal() : path_(TempFile()), variable_("IONSIFT_SHEET_JOURNAL", path_) {}
    ~SheetJournal() { DeleteFileA(path_.c_str()); }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::ifstream file(path_, std::ios::binary);
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }

private:
    static std::string TempFile() {
        char folder[MAX_PATH] = {};
        char path[MAX_PATH] = {};
        GetTempPathA(sizeof folder, folder);
        GetTempFileNameA(folder, "jnl", 0, path);
        DeleteFileA(path);  // the stand-in creates it on its first call
        return path;
    }

    std::string path_;
    ScopedEnvironment variable_;
};

// "Object.Member" fails with an automation exception while this lives.
class SheetFailure {
public:
    explicit SheetFailure(const std::string& member) : variable_("IONSIFT_SHEET_FAIL", member) {}

private:
    ScopedEnvironment variable_;
};

inline HWND FindSheetWindow() { return FindWindowA(kSheetWindowClass, nullptr); }

// Every stand-in window, in z-order.
inline std::vector<HWND> SheetWindows() {
    std::vector<HWND> windows;
    for (HWND at = nullptr; (at = FindWindowExA(nullptr, at, kSheetWindowClass, nullptr));) {
        windows.push_back(at);
    }
    return windows;
}

// Closes every stand-in window of the test's thread, as the user would.
inline void CloseSheetWindows() {
    for (int guard = 0; guard < 16; ++guard) {
        const HWND window = FindSheetWindow();
        if (!window) return;
        SendMessageA(window, WM_CLOSE, 0, 0);
    }
}

inline std::string WindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Removes HKCR\Excel.Application\CLSID and puts it back on destruction, so
// that no spreadsheet application is registered meanwhile.
class HiddenProgId {
public:
    HiddenProgId() {
        char value[128] = {};
        LONG size = sizeof value;
        if (RegQueryValueA(HKEY_CLASSES_ROOT, kKey, value, &size) == ERROR_SUCCESS) saved_ = value;
        hidden_ = !saved_.empty() && RegDeleteKeyA(HKEY_CLASSES_ROOT, kKey) == ERROR_SUCCESS;
    }
    ~HiddenProgId() {
        if (hidden_) {
            RegSetValueA(HKEY_CLASSES_ROOT, kKey, REG_SZ, saved_.c_str(),
                         static_cast<DWORD>(saved_.size()));
        }
    }
    HiddenProgId(const HiddenProgId&) = delete;
    HiddenProgId& operator=(const HiddenProgId&) = delete;

    bool Hidden() const { return hidden_; }

private:
    static constexpr char kKey[] = "Excel.Application\\CLSID";
    std::string saved_;
    bool hidden_ = false;
};

}  // namespace ionsift::wintest
