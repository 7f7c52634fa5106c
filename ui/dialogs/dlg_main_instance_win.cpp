// The single TDlgMain, from the first request that shows it to the release.
#include <memory>

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
    std::unique_ptr<TDlgMain>& instance = Instance();
    // Destroyed from outside (with its owner, say): the new window starts
    // from the inputs the old one held, so they are saved first.
    if (instance && !instance->Handle()) {
        if (ThePlugin().settingsChanged) instance->SaveSettings();
        instance.reset();
    }
    if (!instance) {
        auto window = std::make_unique<TDlgMain>();
        if (!window->Create()) return;
        instance = std::move(window);
    }
    instance->Show();
}

void ReleaseDlgMain() {
    TDlgMain* window = DlgMain();
    if (!window) return;
    // A window the host already destroyed was reported then; its inputs were
    // kept when it went.
    if (window->Handle()) {
        window->ReportClosed();
        window->Close();
    }
    if (ThePlugin().settingsChanged) window->SaveSettings();
    Instance().reset();
    ThePlugin().mainWindow = nullptr;
}

}  // namespace ionsift
