// `ionsift-host --exec ...`: runs commands without opening a window and
// prints their reports (exec_report.h) on standard output.
#pragma once

#include <string>
#include <vector>

namespace ionsift::host {

// Returns the process exit code: 0 once every command has run, whatever
// the commands answered.
int RunExecMode(const std::vector<std::string>& commands);

}  // namespace ionsift::host
