// Loads the real Ionsift.dll afresh for each test, behind a recording host:
// a context record whose callbacks log every command, window notification and
// loader call, and answer from a per-test script.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <functional>
#include <string>
#include <vector>

#include "shell/host_context.h"
#include "shell/plugin_record.h"

namespace ionsift::wintest {

// The staged host folder (Ionsift.dll, locale.dll, Locale\...), with a
// trailing backslash.
std::string StageDirectory();

struct HostAnswer {
    int errorCode = 0;
    std::string text;
};

class RecordingHost {
public:
    using Responder = std::function<HostAnswer(const std::string&)>;
    using Loader = std::function<short(const std::string& library, void** module,
                                       std::vector<std::pair<void**, std::string>>& slots)>;

    RecordingHost();
    ~RecordingHost();

    HostContext& Context() { return context_; }
    void Respond(Responder responder) { responder_ = std::move(responder); }
    void SetLoader(Loader loader) { loader_ = std::move(loader); }

    const std::vector<std::string>& Commands() const { return commands_; }
    std::vector<std::string> CommandsStartingWith(const std::string& prefix) const;
    const std::vector<std::string>& LoaderCalls() const { return loaderCalls_; }
    // Windows the plug-in announced through the window-opened and
    // window-closed callbacks, in order.
    const std::vector<HWND>& OpenedWindows() const { return openedWindows_; }
    const std::vector<HWND>& ClosedWindows() const { return closedWindows_; }

private:
    static int __cdecl OnCommand(const char* command);
    static void __cdecl OnWindowOpened(void* window);
    static void __cdecl OnWindowClosed(void* window);
    static short __cdecl OnLoad(const char* library, void** module, ...);

    static RecordingHost* current_;
    HostContext context_{};
    int errorCode_ = 0;
    std::string answer_;
    Responder responder_;
    Loader loader_;
    std::vector<std::string> commands_;
    std::vector<std::string> loaderCalls_;
    std::vector<HWND> openedWindows_;
    std::vector<HWND> closedWindows_;
};

// A host folder of the test's own under the temporary directory, with
// Data\Databases\ holding empty *.db files and a settings file path; all of
// it is removed at the end.
class TempHostFolder {
public:
    explicit TempHostFolder(const std::vector<std::string>& databases = {});
    ~TempHostFolder();
    TempHostFolder(const TempHostFolder&) = delete;
    TempHostFolder& operator=(const TempHostFolder&) = delete;

    const std::string& Path() const { return path_; }  // ends with a backslash
    std::string SettingsPath() const { return path_ + "ionsift-host.ini"; }
    // Makes this folder the host directory and its settings file the host's.
    void UseIn(HostContext& context) const;

    void AddDatabase(const std::string& name);
    void WriteSettings(const std::string& text) const;
    // The settings file's text; empty when there is no file.
    std::string ReadSettings() const;

private:
    std::string path_;
};

// A control anywhere inside the window (panels and group boxes included) by
// its id; null when there is none.
HWND FindControl(HWND window, int id);

// As the user picks entry `index` of the window's combo box `id`: the
// selection changes, then the combo box's parent hears of it.
void PickEntry(HWND window, int id, int index);

// The text of a list view's cell.
std::string ListCell(HWND list, int row, int column);

// A hidden top-level window standing for the host's application window, which
// owns the plug-in's windows; the caller destroys it.
HWND CreateHostAppWindow();

// The slot of the module's import table through which it calls `function`
// of `library`, made writable so that a test can put its own function there;
// null when the module imports no such function by name.
void** ImportSlot(HMODULE module, const char* library, const char* function);

// The DLL's three exports, with their declared conventions.
class Plugin {
public:
    Plugin();
    ~Plugin();
    bool Loaded() const { return module_ != nullptr; }
    HMODULE Module() const { return module_; }

    PluginRecord* Init(HostContext& host) { return static_cast<PluginRecord*>(init_(&host)); }
    short Call(int request) { return call_(request, 0); }
    short Free() { return free_(); }

private:
    HMODULE module_ = nullptr;
    PluginInitFn init_ = nullptr;
    PluginCallFn call_ = nullptr;
    PluginFreeFn free_ = nullptr;
};

}  // namespace ionsift::wintest
