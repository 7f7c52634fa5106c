#include "host/app/clipboard_win.h"

#include <cstring>

namespace ionsift::host {
namespace {

constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryMs = 20;

std::string LastError(const char* what) { return std::string(what) + " (error " + std::to_string(GetLastError()) + ")"; }

struct ClipboardCloser {
    ~ClipboardCloser() { CloseClipboard(); }
};

}  // namespace

bool PutTextOnClipboard(HWND owner, const std::string& text, std::string& problem) {
    // Another program may hold the clipboard for a moment.
    bool opened = false;
    for (int attempt = 0; attempt < kOpenAttempts && !opened; ++attempt) {
        if (attempt > 0) Sleep(kOpenRetryMs);
        opened = OpenClipboard(owner) != FALSE;
    }
    if (!opened) {
        problem = LastError("cannot open the clipboard");
        return false;
    }
    ClipboardCloser closer;

    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory == nullptr) {
        problem = "out of memory";
        return false;
    }
    void* bytes = GlobalLock(memory);
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!EmptyClipboard()) {
        GlobalFree(memory);
        problem = LastError("cannot empty the clipboard");
        return false;
    }
    if (SetClipboardData(CF_TEXT, memory) == nullptr) {
        GlobalFree(memory);
        problem = LastError("cannot put text on the clipboard");
        return false;
    }
    return true;  // the memory belongs to the clipboard now
}

}  // namespace ionsift::host
