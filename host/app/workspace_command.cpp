#include "host/app/workspace_command.h"

#include <charconv>

#include "host/app/workspace_molecule.h"

namespace ionsift::host {
namespace {

bool ParseRowId(const std::string& text, long long& id) {
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(text.data(), last, id);
    return result.ec == std::errc() && result.ptr == last;
}

}  // namespace

CommandResult RunDbGetRowId(const ParsedCommand& command, CommandContext& context) {
    const auto& args = command.arguments;
    long long id = 0;
    // Replace is the only way of loading the host knows: the workspace holds
    // one molecule.
    if (args.size() != 3 || args[2].text != "Replace" || !ParseRowId(args[1].text, id)) {
        return BadArguments(command, "expected <handle> <ID> Replace");
    }
    const Database* database = context.databases.Find(args[0].text);
    if (database == nullptr) return UnknownHandle(args[0].text);
    MoleculeRow row;
    std::string problem;
    if (!database->FindMolecule(id, row, problem)) return Failure(kCommandDatabaseError, problem);
    const WorkspaceMolecule molecule = MoleculeFromRow(row);
    context.host.ShowMolecule(molecule);
    return Answer(kCommandOk, molecule.name);
}

}  // namespace ionsift::host
