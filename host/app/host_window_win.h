// The host's main window: command log (report list view) with the command
// box under it, the workspace pane beside it, and the status bar. Its window
// procedure only forwards to HostWindowEvents.
#pragma once

#include <windows.h>

#include <string>

#include "host/app/command_box_win.h"
#include "host/app/workspace_pane_win.h"

namespace ionsift::host {

constexpr UINT kMsgStartScreenshot = WM_APP + 1;

class HostWindowEvents {
public:
    virtual ~HostWindowEvents() = default;
    virtual void OnMenuCommand(UINT id) = 0;
    virtual void OnCloseRequest() = 0;
    virtual void OnDestroyed() = 0;
    virtual void OnTimer(UINT_PTR id) = 0;
    virtual void OnStartScreenshot() = 0;
    virtual void OnCommandTyped(const std::string& command) = 0;
    virtual bool IsBusy() const = 0;
};

class HostWindow {
public:
    explicit HostWindow(HostWindowEvents& events) : events_(events) {}
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    bool Create(HINSTANCE instance);
    HWND handle() const { return window_; }

    // One row of the command log; line breaks are shown as \n.
    void AppendLog(const std::string& command, const std::string& error, const std::string& answer);
    void SetState(const char* state);            // "Ready" / "Busy"
    void SetMessage(const std::string& message);  // the status line's last message
    void ShowMolecule(const WorkspaceMolecule& molecule) { workspace_.Show(molecule); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateChildren();
    void Layout();
    void RunTypedCommand();

    HostWindowEvents& events_;
    HWND window_ = nullptr;
    HWND log_ = nullptr;
    HWND status_ = nullptr;
    CommandBox commandBox_;
    WorkspacePane workspace_;
    int rows_ = 0;
};

}  // namespace ionsift::host
