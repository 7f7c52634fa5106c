#include "host/app/host_app_win.h"

#include <algorithm>
#include <cstdio>

#include "host/app/ansi_text_win.h"
#include "host/app/clipboard_win.h"
#include "host/app/host_language.h"
#include "host/app/host_menu_win.h"
#include "host/app/host_settings_win.h"
#include "host/app/screenshot_win.h"

namespace ionsift::host {
namespace {

constexpr UINT_PTR kCaptureTimer = 1;
constexpr UINT_PTR kWatchdogTimer = 2;
constexpr UINT kCaptureDelayMs = 1000;
constexpr UINT kWatchdogMs = 20000;  // a screenshot run never hangs the caller

std::string WindowText(HWND window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

}  // namespace

HostApp::HostApp(HostOptions options) : options_(std::move(options)), window_(*this) {}

int HostApp::Run(HINSTANCE instance) {
    hostDirectory_ = HostFolder();
    settingsPath_ = HostSettingsPath(hostDirectory_);
    activeLanguage_ = LanguageIndex(ReadHostLanguage(settingsPath_));

    if (!window_.Create(instance)) {
        std::fprintf(stderr, "ionsift-host: cannot create the main window\n");
        return 1;
    }
    ShowWindow(window_.handle(), SW_SHOW);
    UpdateWindow(window_.handle());
    StartPlugin();
    for (const std::string& command : options_.startupCommands) OnCommandTyped(command);
    if (!options_.menuChoice.empty()) ChooseMenuItem(options_.menuChoice);
    if (!options_.screenshotPath.empty()) PostMessageA(window_.handle(), kMsgStartScreenshot, 0, 0);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    plugin_.Unload();
    if (!options_.screenshotPath.empty() && !captured_) return 1;
    return choiceMissing_ ? 1 : 0;
}

void HostApp::StartPlugin() {
    HWND main = window_.handle();
    std::string problem;
    const PluginRecord* record = nullptr;
    if (!PrepareHostContext(*this, main, hostDirectory_, settingsPath_)) {
        problem = "host folder path too long for the host context";
    } else if (plugin_.Load(hostDirectory_ + "Ionsift.dll", problem)) {
        record = plugin_.Init(TheHostContext());
        window_.AppendLog("Init", "", record != nullptr ? "record received" : "no record");
    }
    plan_ = PlanPluginMenu(record);
    if (problem.empty()) problem = plan_.problem;
    if (!problem.empty()) plan_.items.clear();
    SetMenu(main, BuildMenuBar(plan_, activeLanguage_));
    DrawMenuBar(main);
    LogPluginMenu(main);
    Status(problem.empty() ? plan_.pluginName + " loaded" : problem);
    if (!problem.empty()) window_.AppendLog("(plug-in)", "", problem);
}

// What the user sees in the Plug-ins menu, read back from the menu itself, so
// that scripted runs can check the captions the plug-in supplied.
void HostApp::LogPluginMenu(HWND main) {
    HMENU plugins = GetSubMenu(GetMenu(main), kPluginsMenu);
    std::string captions;
    for (int i = 0; plugins && i < GetMenuItemCount(plugins); ++i) {
        char text[256] = "";
        GetMenuStringA(plugins, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        captions += (i ? "; " : "") + std::string(text);
    }
    window_.AppendLog("menu Plug-ins", "", captions);
}

int HostApp::ShowMessageBox(const std::string& text, const std::string& title, unsigned style) {
    return MessageBoxA(window_.handle(), text.c_str(), title.c_str(), style);
}

std::string HostApp::Language() const { return kHostLanguages[activeLanguage_].name; }

void HostApp::SetBusy(bool busy) {
    busy_ = busy;
    window_.SetState(busy ? "Busy" : "Ready");
    SetCursor(LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

bool HostApp::CopyText(const std::string& text, std::string& problem) {
    return PutTextOnClipboard(window_.handle(), text, problem);
}

void HostApp::ShowMolecule(const WorkspaceMolecule& molecule) { window_.ShowMolecule(molecule); }

std::string HostApp::DatabaseFileName(const std::string& path) const { return AnsiToUtf8(path); }

void HostApp::OnCommandTyped(const std::string& command) {
    int error = 0;
    std::string answer;
    RunCommand(command, error, answer);
}

void HostApp::RunCommand(const std::string& command, int& error, std::string& answer) {
    CommandResult result = interpreter_.Execute(command);
    error = result.error;
    answer = std::move(result.answer);
    window_.AppendLog(command, std::to_string(error), answer);
}

void HostApp::WindowOpened(HWND window) {
    if (std::find(pluginWindows_.begin(), pluginWindows_.end(), window) == pluginWindows_.end()) {
        pluginWindows_.push_back(window);
    }
    window_.AppendLog("windowOpened " + WindowText(window), "",
                      std::to_string(pluginWindows_.size()) + " plug-in window(s) open");
}

void HostApp::WindowClosed(HWND window) {
    const auto found = std::find(pluginWindows_.begin(), pluginWindows_.end(), window);
    const bool known = found != pluginWindows_.end();
    if (known) pluginWindows_.erase(found);
    window_.AppendLog("windowClosed " + WindowText(window), "",
                      std::to_string(pluginWindows_.size()) + " plug-in window(s) open" +
                          (known ? "" : " (window was not in the list)"));
}

void HostApp::LibraryLoaded(const std::string& library, bool ok, const std::string& detail) {
    window_.AppendLog("loader " + library, ok ? "1" : "0", detail);
}

void HostApp::OnMenuCommand(UINT id) {
    if (id >= kIdPluginFirst && id < kIdPluginFirst + plan_.items.size()) {
        const int request = plan_.items[id - kIdPluginFirst].request;
        window_.AppendLog("Call " + std::to_string(request), "", "");
        plugin_.Call(request);
    } else if (id >= kIdLanguageFirst && id < kIdLanguageFirst + kHostLanguageCount) {
        ChooseLanguage(id - kIdLanguageFirst);
    } else if (id == kIdExit) {
        PostMessageA(window_.handle(), WM_CLOSE, 0, 0);
    } else if (id == kIdAbout) {
        const std::string text = "Corvane stand-in host\n\nRuns the " + plan_.pluginName +
                                 " plug-in so that it can be tried and tested.";
        MessageBoxA(window_.handle(), text.c_str(), "About this host", MB_OK | MB_ICONINFORMATION);
    }
}

// What a click on the item sends, so that a script can drive the menu.
void HostApp::ChooseMenuItem(const std::string& caption) {
    const UINT id = FindMenuItem(GetMenu(window_.handle()), caption);
    if (id == 0) {
        std::fprintf(stderr, "ionsift-host: no menu item \"%s\"\n", caption.c_str());
        choiceMissing_ = true;
        PostMessageA(window_.handle(), WM_CLOSE, 0, 0);
        return;
    }
    PostMessageA(window_.handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void HostApp::ChooseLanguage(std::size_t index) {
    const char* name = kHostLanguages[index].name;
    if (!WriteHostLanguage(settingsPath_, name)) {
        Status("cannot write " + settingsPath_);
        return;
    }
    CheckLanguage(GetMenu(window_.handle()), index);
    Status(std::string("Language set to ") + name + "; it takes effect at the next start of the host");
}

void HostApp::FreePlugin() {
    if (plugin_.Free()) window_.AppendLog("Free", "", "");
}

void HostApp::OnCloseRequest() {
    FreePlugin();
    DestroyWindow(window_.handle());
}

void HostApp::OnDestroyed() {
    FreePlugin();  // only when the window went away without WM_CLOSE
    PostQuitMessage(0);
}

void HostApp::OnStartScreenshot() {
    HWND main = window_.handle();
    SetTimer(main, kWatchdogTimer, kWatchdogMs, nullptr);
    SetTimer(main, kCaptureTimer, kCaptureDelayMs, nullptr);
    if (!options_.openPluginMenu) return;

    // The menu loop below runs until the capture timer ends it.
    HMENU bar = GetMenu(main);
    RECT item{};
    GetMenuItemRect(main, bar, kPluginsMenu, &item);
    SetForegroundWindow(main);
    HiliteMenuItem(main, bar, kPluginsMenu, MF_BYPOSITION | MF_HILITE);
    TrackPopupMenu(GetSubMenu(bar, kPluginsMenu), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                   item.left, item.bottom, 0, main, nullptr);
    HiliteMenuItem(main, bar, kPluginsMenu, MF_BYPOSITION | MF_UNHILITE);
    PostMessageA(main, WM_CLOSE, 0, 0);
}

void HostApp::OnTimer(UINT_PTR id) {
    KillTimer(window_.handle(), id);
    if (id == kCaptureTimer) {
        Capture();
    } else if (id == kWatchdogTimer) {
        std::fprintf(stderr, "ionsift-host: screenshot run timed out\n");
    } else {
        return;
    }
    if (options_.openPluginMenu) {
        EndMenu();
    } else {
        PostMessageA(window_.handle(), WM_CLOSE, 0, 0);
    }
}

void HostApp::Capture() {
    std::string problem;
    captured_ = CaptureScreenToBmp(HostAndMenuRect(window_.handle()), options_.screenshotPath, problem);
    if (!captured_) std::fprintf(stderr, "ionsift-host: %s\n", problem.c_str());
}

void HostApp::Status(const std::string& message) { window_.SetMessage(message); }

}  // namespace ionsift::host
