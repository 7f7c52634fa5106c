// The three exports the host calls, and the library entry routine.
//
// The host owns the message loop; the plug-in never ends it. Its windows are
// created as windows owned by the host's application window (never children,
// never top-level windows of their own), so they stay above the host, follow it
// when it is minimised, and closing one of them only hides it or ends its own
// modal loop: no plug-in window posts WM_QUIT. That gives the guarantee a
// hidden, never-shown main form gives in form frameworks, so none is created.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "resources/resource_ids.h"
#include "shell/error_report.h"
#include "shell/host_link.h"
#include "shell/localization.h"
#include "shell/plugin_record.h"
#include "shell/plugin_state.h"
#include "shell/settings.h"
#include "shell/settings_store_win.h"
#include "shell/string_table.h"
#include "text/letter_case_win.h"
#include "ui/chart_control/chart_window_win.h"
#include "ui/dialogs/dlg_about_win.h"
#include "ui/dialogs/dlg_main_win.h"
#include "ui/form/form_win.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

constexpr int kAboutCaptionId = 50;
constexpr int kToolCaptionId = 39;
constexpr int kHelpErrorId = 53;
constexpr const char* kHelpPage = "Docs\\Html\\ionsift\\index.htm";

void* InitPlugin(const HostContext* host) {
    SetHostContext(host);
    PluginState& plugin = ThePlugin();
    plugin.ownerWindow = host->appWindow;
    ReadUserDecimalSeparator();
    ReadAnsiUpperCase();
    SetSettingsStore(&ProfileSettingsStore());
    OpenHostCatalog();

    plugin.module = GetModuleHandleA("Ionsift");
    const HINSTANCE module = static_cast<HINSTANCE>(plugin.module);
    plugin.backgroundTile = LoadBitmapA(module, MAKEINTRESOURCEA(IDB_BACKGROUND));
    plugin.menuImage = LoadBitmapA(module, MAKEINTRESOURCEA(IDB_MENU_IMAGE));

    PluginRecord& record = TheDescriptionRecord();
    record.entries[0].image = plugin.menuImage;
    record.entries[1].image = plugin.menuImage;
    // After the catalog is open, so that the host shows translated captions.
    record.entries[0].caption = LocString(kAboutCaptionId);
    record.entries[1].caption = LocString(kToolCaptionId);
    return &record;
}

void OpenHelpPage() {
    const HostContext* host = Host();
    if (!host) return;
    const std::string path = std::string(host->hostDirectory) + kHelpPage;
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32) ShowError(kHelpErrorId);
}

void CallPlugin(int request) {
    switch (request) {
        case kRequestHelp:
            OpenHelpPage();
            break;
        case kRequestAbout:
            ShowAboutBox();
            break;
        case kRequestMainWindow:
            ShowDlgMain();
            break;
        default:
            break;
    }
}

void FreePlugin() {
    PluginState& plugin = ThePlugin();
    // The window goes before the bitmaps it draws with, and before the
    // library that holds its window procedures.
    ReleaseDlgMain();
    DestroyAboutBox();
    StopErrorBeep();
    const HINSTANCE module = static_cast<HINSTANCE>(plugin.module);
    ReleaseFormClasses(module);
    UnregisterChartClass(module);
    // One bitmap handle serves both menu entries.
    if (plugin.menuImage) DeleteObject(static_cast<HGDIOBJ>(plugin.menuImage));
    if (plugin.backgroundTile) DeleteObject(static_cast<HGDIOBJ>(plugin.backgroundTile));
    plugin.menuImage = plugin.backgroundTile = nullptr;
    ReleaseCommandBuffer();
    if (void* localeModule = CloseHostCatalog()) FreeLibrary(static_cast<HMODULE>(localeModule));
}

}  // namespace
}  // namespace ionsift

// Nothing thrown may reach the host: each export maps failure to its
// documented result.
extern "C" __declspec(dllexport) void* __stdcall Init(void* hostContext) {
    try {
        if (!hostContext) return nullptr;
        return ionsift::InitPlugin(static_cast<const ionsift::HostContext*>(hostContext));
    } catch (...) {
        return &ionsift::TheDescriptionRecord();
    }
}

extern "C" __declspec(dllexport) short __stdcall Call(int request, int /*unused*/) {
    try {
        ionsift::CallPlugin(static_cast<short>(request & 0xFFFF));
    } catch (...) {
    }
    return 1;
}

extern "C" __declspec(dllexport) short __stdcall Free(void) {
    try {
        ionsift::FreePlugin();
    } catch (...) {
    }
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
