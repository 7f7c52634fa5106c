#include "host/app/command_table.h"

#include <cstdint>
#include <exception>
#include <new>

#include "host/app/command_context.h"
#include "host/app/database_commands.h"
#include "host/app/isotope_command.h"
#include "host/app/workspace_command.h"

namespace ionsift::host {
namespace {

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

CommandResult RunMessageBox(const ParsedCommand& command, CommandContext& context) {
    const auto& args = command.arguments;
    if (command.unterminatedQuote) return BadArguments(command, "missing closing quote");
    if (args.empty() || args.size() > 3) return BadArguments(command, "expected \"text\" \"title\" style");
    unsigned style = 0;
    if (args.size() == 3 && !ParseStyle(args[2].text, style)) {
        return BadArguments(command, "style is not a decimal number");
    }
    const std::string title = args.size() >= 2 ? args[1].text : std::string();
    const int button = context.host.ShowMessageBox(args[0].text, title, style);
    if (button == 0) return Failure(kCommandHostFailure, "message box failed");
    return Answer(kCommandOk, std::to_string(button));
}

CommandResult RunGet(const ParsedCommand& command, CommandContext& context) {
    if (command.arguments.size() == 1 && command.arguments[0].text == "PrfLang") {
        return Answer(kCommandOk, context.host.Language());
    }
    return Answer(kCommandUnknown, "unknown command: Get " + command.rest);
}

CommandResult RunCursor(const ParsedCommand& command, CommandContext& context) {
    if (command.arguments.size() == 1) {
        const std::string& shape = command.arguments[0].text;
        if (shape == "Busy" || shape == "Default") {
            context.host.SetBusy(shape == "Busy");
            return Answer(kCommandOk, "");
        }
    }
    return BadArguments(command, "expected Busy or Default");
}

// The text may hold quotes and line breaks (a copied list spans lines): it
// runs from the first quote to the last.
CommandResult RunCopyText(const ParsedCommand& command, CommandContext& context) {
    std::string text;
    if (!OuterQuotedText(command.rest, text)) return BadArguments(command, "expected \"<text>\"");
    std::string problem;
    if (!context.host.CopyText(text, problem)) return Failure(kCommandHostFailure, "clipboard: " + problem);
    return Answer(kCommandOk, "");
}

struct CommandRow {
    const char* word;
    std::size_t arity;  // arguments, the first one free text; 0: split only
    CommandHandler run;
};

constexpr CommandRow kCommands[] = {
    {"messagebox", 3, RunMessageBox},
    {"Get", 1, RunGet},
    {"Cursor", 1, RunCursor},
    {"DbOpen", 0, RunDbOpen},
    {"DbSqlExec", 0, RunDbSqlExec},
    {"DbClose", 0, RunDbClose},
    {"DbGetRowId", 0, RunDbGetRowId},
    {"IsoDist", 0, RunIsoDist},
    {"CopyText", 0, RunCopyText},
};

}  // namespace

CommandResult CommandInterpreter::Execute(const std::string& line) {
    // A command that runs out of memory fails alone: the host, a script's
    // later commands and the open databases carry on.
    try {
        const std::string word = CommandWord(line);
        CommandContext context{host_, databases_};
        for (const CommandRow& row : kCommands) {
            if (word == row.word) return row.run(ParseCommandLine(line, row.arity), context);
        }
        return Answer(kCommandUnknown, "unknown command: " + word);
    } catch (const std::bad_alloc&) {
        return Failure(kCommandHostFailure, "host failure: out of memory");
    } catch (const std::exception& e) {
        return Failure(kCommandHostFailure, std::string("host failure: ") + e.what());
    }
}

}  // namespace ionsift::host
