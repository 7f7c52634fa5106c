// The host's command interpreter: command word -> handler, answers and error
// codes. Portable; what needs the window system goes through HostServices.
#pragma once

#include <string>

#include "host/app/database_table.h"

namespace ionsift::host {

struct WorkspaceMolecule;

// Error codes the host sets for a command. A served command's failure
// answers "0" and the reason: "0" is the plug-in's sign of failure where it
// reads only the answer.
constexpr int kCommandOk = 0;
constexpr int kCommandUnknown = 2;
constexpr int kCommandBadArguments = 3;
constexpr int kCommandHostFailure = 4;
constexpr int kCommandDatabaseError = 5;
constexpr int kLastCommandError = kCommandDatabaseError;

struct CommandResult {
    int error = kCommandOk;
    std::string answer;
};

// What commands need from the running host.
class HostServices {
public:
    virtual ~HostServices() = default;
    // Returns the button pressed (IDOK = 1, ...), 0 when no box could be shown.
    virtual int ShowMessageBox(const std::string& text, const std::string& title,
                               unsigned style) = 0;
    virtual std::string Language() const = 0;
    virtual void SetBusy(bool busy) = 0;
    // Puts the text on the clipboard as plain text; false with the reason
    // when the clipboard cannot be had.
    virtual bool CopyText(const std::string& text, std::string& problem) = 0;
    // Shows the molecule DbGetRowId loaded in the workspace.
    virtual void ShowMolecule(const WorkspaceMolecule& molecule) = 0;
    // The name SQLite opens for a path given in the host's code page.
    virtual std::string DatabaseFileName(const std::string& path) const = 0;
};

// Runs host commands; the databases they open stay open between commands.
class CommandInterpreter {
public:
    explicit CommandInterpreter(HostServices& host) : host_(host) {}
    CommandResult Execute(const std::string& line);
    const DatabaseTable& databases() const { return databases_; }

private:
    HostServices& host_;
    DatabaseTable databases_;
};

}  // namespace ionsift::host
