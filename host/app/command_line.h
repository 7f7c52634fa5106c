// Splits a host command line into its command word and arguments. Portable:
// the host's window code and the native tests share it.
#pragma once

#include <string>
#include <vector>

namespace ionsift::host {

struct CommandArgument {
    std::string text;
    bool quoted = false;
};

struct ParsedCommand {
    std::string word;                     // first blank-separated word
    std::vector<CommandArgument> arguments;
    std::string rest;                     // everything after the word and its blanks
    bool unterminatedQuote = false;       // a quoted argument ran to the end of the line
};

// Blanks separate words: space, tab, CR and LF. Inside quotes they are text.
bool IsCommandBlank(char c);

// A quoted argument ends at the first quote that is followed by a blank or the
// end of the line AND after which the rest of the line still splits cleanly
// (quoted arguments, or bare words without quotes). So text may contain quotes
// and line breaks as long as the line stays unambiguous; when no such quote
// exists the first quote before a blank ends it, and failing that the text
// runs to the end of the line.
ParsedCommand ParseCommandLine(const std::string& line);

}  // namespace ionsift::host
