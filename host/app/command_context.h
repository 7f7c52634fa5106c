// What a command handler gets, and the shapes of its answers. Shared by the
// files that implement the commands of the table in command_table.cpp.
#pragma once

#include <string>

#include "host/app/command_line.h"
#include "host/app/command_table.h"

namespace ionsift::host {

struct CommandContext {
    HostServices& host;
    DatabaseTable& databases;
};

using CommandHandler = CommandResult (*)(const ParsedCommand&, CommandContext&);

inline CommandResult Answer(int error, std::string text) { return CommandResult{error, std::move(text)}; }

// Failures answer "0 " and the reason.
inline CommandResult Failure(int error, const std::string& reason) { return Answer(error, "0 " + reason); }

inline CommandResult BadArguments(const ParsedCommand& command, const std::string& why) {
    return Failure(kCommandBadArguments, "bad arguments for " + command.word + ": " + why);
}

inline CommandResult UnknownHandle(const std::string& handle) {
    return Failure(kCommandBadArguments, "unknown database handle: " + handle);
}

}  // namespace ionsift::host
