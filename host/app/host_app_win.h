// The stand-in host: loads the plug-in, serves its commands and callbacks and
// runs the main window.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "host/app/command_table.h"
#include "host/app/host_callbacks_win.h"
#include "host/app/host_options.h"
#include "host/app/host_window_win.h"
#include "host/app/plugin_menu_plan.h"
#include "host/app/plugin_module_win.h"

namespace ionsift::host {

class HostApp final : public HostServices, public CallbackTarget, public HostWindowEvents {
public:
    explicit HostApp(HostOptions options);
    int Run(HINSTANCE instance);  // returns the process exit code

    // HostServices
    int ShowMessageBox(const std::string& text, const std::string& title, unsigned style) override;
    std::string Language() const override;
    void SetBusy(bool busy) override;
    bool CopyText(const std::string& text, std::string& problem) override;
    void ShowMolecule(const WorkspaceMolecule& molecule) override;
    std::string DatabaseFileName(const std::string& path) const override;

    // CallbackTarget
    void RunCommand(const std::string& command, int& error, std::string& answer) override;
    void WindowOpened(HWND window) override;
    void WindowClosed(HWND window) override;
    void LibraryLoaded(const std::string& library, bool ok, const std::string& detail) override;

    // HostWindowEvents
    void OnMenuCommand(UINT id) override;
    void OnCloseRequest() override;
    void OnDestroyed() override;
    void OnTimer(UINT_PTR id) override;
    void OnStartScreenshot() override;
    void OnCommandTyped(const std::string& command) override;
    bool IsBusy() const override { return busy_; }

private:
    void StartPlugin();
    void LogPluginMenu(HWND main);
    void ChooseMenuItem(const std::string& caption);
    void ChooseLanguage(std::size_t index);
    void FreePlugin();
    void Capture();
    void Status(const std::string& message);

    HostOptions options_;
    HostWindow window_;
    CommandInterpreter interpreter_{*this};
    PluginModule plugin_;
    PluginMenuPlan plan_;
    std::string hostDirectory_;
    std::string settingsPath_;
    std::size_t activeLanguage_ = 0;  // read at start; what Get PrfLang answers
    bool busy_ = false;
    std::vector<HWND> pluginWindows_;
    bool captured_ = false;
    bool choiceMissing_ = false;  // --choose named no menu item
};

}  // namespace ionsift::host
