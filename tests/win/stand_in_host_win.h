// The stand-in host's own command interpreter serving the real plug-in in the
// test's process: every command is answered as ionsift-host.exe answers it,
// from real databases, while what that host would put on screen (message
// boxes, the busy cursor, the clipboard, the workspace) is recorded instead.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/app/command_table.h"
#include "host/app/workspace_molecule.h"
#include "tests/win/plugin_harness.h"

namespace ionsift::wintest {

class WindowlessServices final : public host::HostServices {
public:
    int ShowMessageBox(const std::string& text, const std::string& title, unsigned style) override;
    std::string Language() const override { return "english"; }
    void SetBusy(bool busy) override { busyChanges.push_back(busy); }
    bool CopyText(const std::string& text, std::string& problem) override;
    void ShowMolecule(const host::WorkspaceMolecule& molecule) override;
    std::string DatabaseFileName(const std::string& path) const override;

    std::vector<std::string> messageBoxes;  // the texts, in order; each answered OK
    std::vector<bool> busyChanges;          // true: busy cursor on
    std::string clipboard;
    std::vector<host::WorkspaceMolecule> shownMolecules;
};

class StandInHost {
public:
    StandInHost();
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    RecordingHost& Recording() { return recording_; }
    const RecordingHost& Recording() const { return recording_; }
    HostContext& Context() { return recording_.Context(); }
    WindowlessServices& Services() { return services_; }
    const WindowlessServices& Services() const { return services_; }
    // A command from the host's side (as typed in its command box); not
    // recorded among the plug-in's commands, nor timed.
    host::CommandResult Execute(const std::string& line) { return interpreter_.Execute(line); }
    const host::DatabaseTable& Databases() const { return interpreter_.databases(); }

    // Time spent serving the plug-in's commands since the last reset: the
    // host's share of whatever the plug-in did meanwhile.
    double CommandSeconds() const;
    void ResetCommandTime() { commandTicks_ = 0; }

private:
    RecordingHost recording_;
    WindowlessServices services_;
    host::CommandInterpreter interpreter_{services_};
    LARGE_INTEGER frequency_{};
    long long commandTicks_ = 0;
};

}  // namespace ionsift::wintest
