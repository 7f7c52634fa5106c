#include "host/app/command_table.h"

#include <cstdint>
#include <cstring>

#include "host/app/command_line.h"

namespace ionsift::host {
namespace {

using Handler = CommandResult (*)(const ParsedCommand&, HostServices&);

CommandResult Answer(int error, std::string text) { return CommandResult{error, std::move(text)}; }

CommandResult BadArguments(const ParsedCommand& command, const char* why) {
    return Answer(kCommandBadArguments, "0 bad arguments for " + command.word + ": " + why);
}

// Decimal only, so the C runtime locale cannot change what is read.
bool ParseStyle(const std::string& text, unsigned& style) {
    if (text.empty() || text.size() > 10) return false;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 0xFFFFFFFFu) return false;
    style = static_cast<unsigned>(value);
    return true;
}

CommandResult RunMessageBox(const ParsedCommand& command, HostServices& host) {
    const auto& args = command.arguments;
    if (command.unterminatedQuote) return BadArguments(command, "missing closing quote");
    if (args.empty() || args.size() > 3) return BadArguments(command, "expected \"text\" \"title\" style");
    unsigned style = 0;
    if (args.size() == 3 && !ParseStyle(args[2].text, style)) {
        return BadArguments(command, "style is not a decimal number");
    }
    const std::string title = args.size() >= 2 ? args[1].text : std::string();
    const int button = host.ShowMessageBox(args[0].text, title, style);
    if (button == 0) return Answer(kCommandHostFailure, "0 message box failed");
    return Answer(kCommandOk, std::to_string(button));
}

CommandResult RunGet(const ParsedCommand& command, HostServices& host) {
    if (command.arguments.size() == 1 && command.arguments[0].text == "PrfLang") {
        return Answer(kCommandOk, host.Language());
    }
    return Answer(kCommandUnknown, "unknown command: Get " + command.rest);
}

CommandResult RunCursor(const ParsedCommand& command, HostServices& host) {
    if (command.arguments.size() == 1) {
        const std::string& shape = command.arguments[0].text;
        if (shape == "Busy" || shape == "Default") {
            host.SetBusy(shape == "Busy");
            return Answer(kCommandOk, "");
        }
    }
    return BadArguments(command, "expected Busy or Default");
}

// Commands the plug-in will use once the host has databases, isotope
// distributions and the clipboard; the answer starts with 0 like their failures.
CommandResult NotServedYet(const ParsedCommand& command, HostServices&) {
    return Answer(kCommandNotServedYet, "0 not served yet: " + command.word);
}

struct CommandRow {
    const char* word;
    std::size_t arity;  // arguments, the first one free text; 0: split only
    Handler run;
};

constexpr CommandRow kCommands[] = {
    {"messagebox", 3, RunMessageBox},
    {"Get", 1, RunGet},
    {"Cursor", 1, RunCursor},
    {"DbOpen", 0, NotServedYet},
    {"DbSqlExec", 0, NotServedYet},
    {"DbClose", 0, NotServedYet},
    {"DbGetRowId", 0, NotServedYet},
    {"IsoDist", 0, NotServedYet},
    {"CopyText", 1, NotServedYet},
};

}  // namespace

CommandResult ExecuteCommand(const std::string& line, HostServices& host) {
    const std::string word = CommandWord(line);
    for (const CommandRow& row : kCommands) {
        if (word == row.word) return row.run(ParseCommandLine(line, row.arity), host);
    }
    return Answer(kCommandUnknown, "unknown command: " + word);
}

}  // namespace ionsift::host
