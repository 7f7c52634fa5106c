#include "host/app/host_callbacks_win.h"

#include <cstdarg>
#include <cstring>
#include <vector>

namespace ionsift::host {
namespace {

HostContext g_context{};
int g_errorCode = 0;
std::string g_answer;
CallbackTarget* g_target = nullptr;
std::string g_hostDirectory;

// The plug-in reads the answer through resultText after each command, so the
// pointer must follow the string's storage.
void PublishResult(int error, std::string answer) {
    g_errorCode = error;
    g_answer = std::move(answer);
    g_context.resultText = g_answer.c_str();
}

int __cdecl HostCommand(const char* command) {
    try {
        int error = 0;
        std::string answer;
        if (g_target == nullptr || command == nullptr) {
            error = 2;
            answer = "unknown command: ";
        } else {
            g_target->RunCommand(command, error, answer);
        }
        PublishResult(error, std::move(answer));
    } catch (...) {
        g_errorCode = 4;
        g_context.resultText = "0 host failure";
    }
    return g_errorCode;
}

void __cdecl HostWindowOpened(void* window) {
    try {
        if (g_target != nullptr) g_target->WindowOpened(static_cast<HWND>(window));
    } catch (...) {
    }
}

void __cdecl HostWindowClosed(void* window) {
    try {
        if (g_target != nullptr) g_target->WindowClosed(static_cast<HWND>(window));
    } catch (...) {
    }
}

bool IsAbsolutePath(const char* path) {
    return path[0] == '\\' || path[0] == '/' || (path[0] != '\0' && path[1] == ':');
}

short __cdecl HostLoadLibrary(const char* library, void** module, ...) {
    std::va_list names;
    va_start(names, module);
    std::vector<std::pair<void**, const char*>> wanted;
    for (;;) {
        void** slot = va_arg(names, void**);
        if (slot == nullptr) break;
        wanted.emplace_back(slot, va_arg(names, const char*));
    }
    va_end(names);

    try {
        if (library == nullptr || module == nullptr) {
            if (g_target != nullptr) g_target->LibraryLoaded("(none)", false, "no library or module slot");
            return 0;
        }
        const std::string path = IsAbsolutePath(library) ? library : g_hostDirectory + library;
        HMODULE loaded = LoadLibraryA(path.c_str());
        std::string missing;
        if (loaded == nullptr) {
            missing = "cannot load (error " + std::to_string(GetLastError()) + ")";
        }
        for (auto& [slot, name] : wanted) {
            FARPROC proc = loaded != nullptr && name != nullptr ? GetProcAddress(loaded, name) : nullptr;
            *slot = reinterpret_cast<void*>(proc);
            if (loaded != nullptr && proc == nullptr) {
                missing += missing.empty() ? "missing: " : ", ";
                missing += name != nullptr ? name : "(null name)";
            }
        }
        const bool ok = loaded != nullptr && missing.empty();
        if (!ok) {
            if (loaded != nullptr) FreeLibrary(loaded);
            *module = nullptr;
            for (auto& entry : wanted) *entry.first = nullptr;
        } else {
            *module = loaded;
        }
        if (g_target != nullptr) {
            g_target->LibraryLoaded(library, ok,
                                    ok ? std::to_string(wanted.size()) + " names resolved" : missing);
        }
        return ok ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

void CopyPath(char (&field)[kHostPathSize], const std::string& value) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, value.c_str(), value.size());
}

}  // namespace

bool PrepareHostContext(CallbackTarget& target, HWND mainWindow, const std::string& hostDirectory,
                        const std::string& settingsPath) {
    if (hostDirectory.size() >= kHostPathSize || settingsPath.size() >= kHostPathSize) return false;
    g_target = &target;
    g_hostDirectory = hostDirectory;
    g_context = HostContext{};
    g_context.errorCode = &g_errorCode;
    PublishResult(0, "");
    g_context.appWindow = mainWindow;
    g_context.mainWindow = mainWindow;
    CopyPath(g_context.settingsPath, settingsPath);
    CopyPath(g_context.hostDirectory, hostDirectory);
    g_context.command = HostCommand;
    g_context.windowOpened = HostWindowOpened;
    g_context.windowClosed = HostWindowClosed;
    g_context.loadLibrary = HostLoadLibrary;
    return true;
}

HostContext& TheHostContext() { return g_context; }

}  // namespace ionsift::host
