#include "host/app/isotope_command.h"

#include "shell/host_numbers.h"

namespace ionsift::host {

std::string IsotopeAnswer(const std::vector<chem::Peak>& peaks) {
    std::string answer;
    for (const chem::Peak& peak : peaks) {
        answer += FormatFixed(peak.mass, 6);
        answer += ' ';
        answer += FormatFixed(peak.abundance, 6);
        answer += '\n';
    }
    return answer;
}

CommandResult RunIsoDist(const ParsedCommand& command, CommandContext&) {
    std::string formula = command.rest;
    while (!formula.empty() && IsCommandBlank(formula.back())) formula.pop_back();
    if (formula.empty()) return BadArguments(command, "expected <formula>");
    const chem::FormulaParse parsed = chem::ParseFormula(formula);
    if (!parsed.ok) {
        return Failure(kCommandBadArguments, "bad formula " + formula + ": " + parsed.errorReason +
                                                 " at character " + std::to_string(parsed.errorPosition + 1));
    }
    if (parsed.formula.Empty()) return Failure(kCommandBadArguments, "formula without atoms: " + formula);
    return Answer(kCommandOk, IsotopeAnswer(chem::CoarseDistribution(parsed.formula)));
}

}  // namespace ionsift::host
