#include "host/app/exec_report.h"

namespace ionsift::host {

std::string ExecReport(const CommandResult& result) {
    return "== " + std::to_string(result.error) + "\n" + result.answer + "\n";
}

void RunExecCommands(const std::vector<std::string>& commands, CommandInterpreter& interpreter,
                     const std::function<void(const std::string&)>& write) {
    for (const std::string& command : commands) write(ExecReport(interpreter.Execute(command)));
}

}  // namespace ionsift::host
