#include "host/app/database_commands.h"

namespace ionsift::host {
namespace {

// The quoted path, or for a user typing into the command box a bare one.
bool PathArgument(const std::string& rest, std::string& path) {
    if (rest.find('"') != std::string::npos) return OuterQuotedText(rest, path);
    std::size_t end = rest.size();
    while (end > 0 && IsCommandBlank(rest[end - 1])) --end;
    path = rest.substr(0, end);
    return true;
}

}  // namespace

CommandResult RunDbOpen(const ParsedCommand& command, CommandContext& context) {
    std::string path;
    if (!PathArgument(command.rest, path) || path.empty()) {
        return BadArguments(command, "expected \"<database file>\"");
    }
    std::string problem;
    auto database = Database::OpenReadOnly(context.host.DatabaseFileName(path), problem);
    if (!database) return Failure(kCommandDatabaseError, "cannot open " + path + ": " + problem);
    return Answer(kCommandOk, context.databases.Add(std::move(database)));
}

CommandResult RunDbSqlExec(const ParsedCommand& command, CommandContext& context) {
    const std::string& rest = command.rest;
    std::size_t handleEnd = 0;
    while (handleEnd < rest.size() && !IsCommandBlank(rest[handleEnd])) ++handleEnd;
    const std::string handle = rest.substr(0, handleEnd);
    std::string sql;
    if (handle.empty() || handle.find('"') != std::string::npos ||
        !OuterQuotedText(rest.substr(handleEnd), sql)) {
        return BadArguments(command, "expected <handle> \"<SQL>\"");
    }
    const Database* database = context.databases.Find(handle);
    if (database == nullptr) return UnknownHandle(handle);
    std::string rows;
    std::string problem;
    if (!database->Select(sql, rows, problem)) return Failure(kCommandDatabaseError, problem);
    return Answer(kCommandOk, std::move(rows));
}

CommandResult RunDbClose(const ParsedCommand& command, CommandContext& context) {
    if (command.arguments.size() != 1 || command.arguments[0].quoted) {
        return BadArguments(command, "expected <handle>");
    }
    const std::string& handle = command.arguments[0].text;
    if (!context.databases.Close(handle)) return UnknownHandle(handle);
    return Answer(kCommandOk, "");
}

}  // namespace ionsift::host
