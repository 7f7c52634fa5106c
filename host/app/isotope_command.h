// IsoDist <formula>: the coarse isotopic distribution of a formula.
#pragma once

#include <vector>

#include "host/app/command_context.h"
#include "host/chem/isotope_distribution.h"

namespace ionsift::host {

// One line per peak in ascending mass, "mass abundance\n": the mass with six
// decimals, the abundance in percent of the tallest peak with six, "." as
// the decimal point. The plug-in splits pairs at blanks and line feeds.
std::string IsotopeAnswer(const std::vector<chem::Peak>& peaks);

// The formula is the rest of the line, unquoted; a formula the parser
// rejects answers its reason and the character where it stopped.
CommandResult RunIsoDist(const ParsedCommand& command, CommandContext& context);

}  // namespace ionsift::host
