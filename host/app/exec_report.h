// `ionsift-host --exec`: runs commands in order on one interpreter, so the
// handles a command answers stay valid for the next. For each command it
// writes a line "== <error code>", then the answer exactly as the plug-in
// receives it, then one line feed, so the next report starts on a line of its
// own even when the answer does not end with one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/app/command_table.h"

namespace ionsift::host {

std::string ExecReport(const CommandResult& result);

// `write` gets one report per command, as soon as the command has run.
void RunExecCommands(const std::vector<std::string>& commands, CommandInterpreter& interpreter,
                     const std::function<void(const std::string&)>& write);

}  // namespace ionsift::host
