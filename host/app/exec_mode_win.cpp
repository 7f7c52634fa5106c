#include "host/app/exec_mode_win.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "host/app/ansi_text_win.h"
#include "host/app/clipboard_win.h"
#include "host/app/exec_report.h"
#include "host/app/host_language.h"
#include "host/app/host_settings_win.h"

namespace ionsift::host {
namespace {

// The services of a host without windows: no message boxes, no workspace.
class ExecServices final : public HostServices {
public:
    ExecServices()
        // Clipboard data needs an owner window; a message-only one never shows.
        : owner_(CreateWindowExA(0, "STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)),
          language_(kHostLanguages[LanguageIndex(ReadHostLanguage(HostSettingsPath(HostFolder())))].name) {}
    ~ExecServices() override {
        if (owner_ != nullptr) DestroyWindow(owner_);
    }
    ExecServices(const ExecServices&) = delete;
    ExecServices& operator=(const ExecServices&) = delete;

    int ShowMessageBox(const std::string&, const std::string&, unsigned) override { return 0; }
    std::string Language() const override { return language_; }
    void SetBusy(bool) override {}
    bool CopyText(const std::string& text, std::string& problem) override {
        return PutTextOnClipboard(owner_, text, problem);
    }
    void ShowMolecule(const WorkspaceMolecule&) override {}
    std::string DatabaseFileName(const std::string& path) const override { return AnsiToUtf8(path); }

private:
    HWND owner_;
    std::string language_;
};

}  // namespace

int RunExecMode(const std::vector<std::string>& commands) {
    // The answers go out byte for byte: no LF -> CR LF translation.
    _setmode(_fileno(stdout), _O_BINARY);
    ExecServices services;
    CommandInterpreter interpreter(services);
    RunExecCommands(commands, interpreter, [](const std::string& report) {
        std::fwrite(report.data(), 1, report.size(), stdout);
        std::fflush(stdout);
    });
    return 0;
}

}  // namespace ionsift::host
