// DbOpen, DbSqlExec and DbClose: the molecule databases.
#pragma once

#include "host/app/command_context.h"

namespace ionsift::host {

// DbOpen "<path>": answers a new handle, or "0 ..." with the reason.
CommandResult RunDbOpen(const ParsedCommand& command, CommandContext& context);
// DbSqlExec <handle> "<sql>": the SQL is everything between the first quote
// after the handle and the last quote of the line, so it may hold quotes.
CommandResult RunDbSqlExec(const ParsedCommand& command, CommandContext& context);
// DbClose <handle>
CommandResult RunDbClose(const ParsedCommand& command, CommandContext& context);

}  // namespace ionsift::host
