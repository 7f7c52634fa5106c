#include "ui/dialogs/dlg_about_win.h"

#include <memory>

#include "resources/dlg_about_ids.h"
#include "shell/host_link.h"
#include "shell/plugin_state.h"
#include "ui/dialogs/dlg_about_form.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_about;

std::unique_ptr<TDlgAbout>& Instance() {
    static std::unique_ptr<TDlgAbout> instance;
    return instance;
}

const Route<TDlgAbout> kRoutes[] = {
    {BT_Ok, FormEventKind::Click, &TDlgAbout::BT_OkClick},
};

void NotifyHost(HostWindowFn notify, HWND window) {
    const HostContext* host = Host();
    if (host && notify) notify(window);
}

}  // namespace

TDlgAbout* TDlgAbout::Create(HWND owner, HINSTANCE module) {
    std::unique_ptr<TDlgAbout> form(new TDlgAbout);
    if (!form->Form::Create(DlgAboutForm(), owner, module)) return nullptr;
    if (const HostContext* host = Host()) NotifyHost(host->windowOpened, form->Handle());
    form->ApplyLocalizedCaptions();
    return form.release();
}

int TDlgAbout::ShowModal() {
    HWND window = Handle();
    CenterOnHost(window);
    // While the box is up, the host and the tool window wait for it, as a
    // modal dialog's application does.
    HWND owner = GetWindow(window, GW_OWNER);
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    HWND toolWindow = static_cast<HWND>(ThePlugin().mainWindow);
    const bool disableTool = toolWindow && IsWindowEnabled(toolWindow);
    if (disableTool) EnableWindow(toolWindow, FALSE);

    modalResult_ = 0;
    ShowWindow(window, SW_SHOW);
    SetActiveWindow(window);
    SetFocus(Control(BT_Ok));
    MSG message;
    while (modalResult_ == 0 && IsWindow(window)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // The host is quitting: its own loop must still see WM_QUIT.
            PostQuitMessage(static_cast<int>(message.wParam));
            modalResult_ = IDCANCEL;
            break;
        }
        if (got < 0) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // Enabled before hiding, so that activation goes back to the owner.
    if (disableTool && IsWindow(toolWindow)) EnableWindow(toolWindow, TRUE);
    if (disableOwner) EnableWindow(owner, TRUE);
    if (IsWindow(window)) ShowWindow(window, SW_HIDE);
    return modalResult_ ? modalResult_ : IDCANCEL;
}

void TDlgAbout::BT_OkClick(const FormEvent&) {
    if (const HostContext* host = Host()) NotifyHost(host->windowClosed, Handle());
    EndModal(IDOK);
}

void TDlgAbout::OnEvent(const FormEvent& event) { RouteEvent(*this, kRoutes, event); }

LRESULT TDlgAbout::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            TileBackground(Handle(), reinterpret_cast<HDC>(wParam), nullptr);
            return 0;
        case WM_CLOSE:
            // The title bar's close button only hides the box; no notification.
            EndModal(IDCANCEL);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL && lParam == 0) {  // Escape
                EndModal(IDCANCEL);
                return 0;
            }
            break;
        default:
            break;
    }
    return Form::WindowProc(message, wParam, lParam);
}

TDlgAbout* DlgAbout() { return Instance().get(); }

void ShowAboutBox() {
    std::unique_ptr<TDlgAbout>& instance = Instance();
    if (!instance) {
        const PluginState& plugin = ThePlugin();
        instance.reset(TDlgAbout::Create(static_cast<HWND>(plugin.ownerWindow),
                                         static_cast<HINSTANCE>(plugin.module)));
        if (!instance) return;
    }
    instance->ShowModal();
}

void DestroyAboutBox() { Instance().reset(); }

}  // namespace ionsift
