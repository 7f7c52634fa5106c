// The host's command interpreter: command word -> handler, answers and error
// codes. Portable; what needs the window system goes through HostServices.
#pragma once

#include <string>

namespace ionsift::host {

// Error codes the host sets for a command.
constexpr int kCommandOk = 0;
constexpr int kCommandNotServedYet = 1;
constexpr int kCommandUnknown = 2;
constexpr int kCommandBadArguments = 3;
constexpr int kCommandHostFailure = 4;

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
};

CommandResult ExecuteCommand(const std::string& line, HostServices& host);

}  // namespace ionsift::host
