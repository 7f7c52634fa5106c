// DbGetRowId <handle> <id> Replace: loads one molecule into the workspace.
#pragma once

#include "host/app/command_context.h"

namespace ionsift::host {

// Shows the row's molecule in the workspace pane and answers its name.
CommandResult RunDbGetRowId(const ParsedCommand& command, CommandContext& context);

}  // namespace ionsift::host
