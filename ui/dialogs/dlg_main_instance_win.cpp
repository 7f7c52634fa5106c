// The single TDlgMain, from the first request that shows it to the release.
#include <memory>

#include "shell/host_link.h"
#include "shell/plugin_state.h"
#include "ui/dialogs/dlg_main_win.h"
#include "ui/form/form_win.h"

namespace ionsift {
namespace {

std::unique_ptr<TDlgMain>& Instance() {
    static std::unique_ptr<TDlgMain> instance;
    return instance;
}

}  // namespace

TDlgMain* DlgMain() { return Instance().get(); }

void ShowDlgMain() {
    if (!Instance()) {
        auto window = std::make_unique<TDlgMain>();
        if (!window->Create()) return;
        Instance() = std::move(window);
    }
    Instance()->Show();
}

void ReleaseDlgMain() {
    TDlgMain* window = DlgMain();
    if (!window) return;
    // The host may have destroyed the window with its own: then there is
    // nothing to report, and no control left to read settings from.
    if (HWND handle = window->Handle()) {
        const HostContext* host = Host();
        if (host && host->windowClosed) host->windowClosed(handle);
        window->Close();
        if (ThePlugin().settingsChanged) window->SaveSettings();
    }
    Instance().reset();
    ThePlugin().mainWindow = nullptr;
}

}  // namespace ionsift
