// Splits a host command line into its command word and arguments. Portable:
// the host's window code and the native tests share it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ionsift::host {

struct CommandArgument {
    std::string text;
    bool quoted = false;
    std::size_t rawBegin = 0;  // span in the line, quotes included
    std::size_t rawEnd = 0;
};

struct ParsedCommand {
    std::string word;                     // first blank-separated word
    std::vector<CommandArgument> arguments;
    std::string rest;                     // everything after the word and its blanks
    bool unterminatedQuote = false;       // a quoted argument ran to the end of the line
};

// Blanks separate words: space, tab, CR and LF. Inside quotes they are text.
bool IsCommandBlank(char c);

// The command word alone, without splitting the arguments.
std::string CommandWord(const std::string& line);

// A quoted argument ends at the first quote that is followed by a blank or the
// end of the line AND after which the rest of the line still splits cleanly
// (quoted arguments, or bare words without quotes). So text may contain quotes
// and line breaks as long as the line stays unambiguous; when no such quote
// exists the first quote before a blank ends it, and failing that the text
// runs to the end of the line.
//
// `arity` > 0 is the number of arguments the command takes; its first argument
// is free text. When the line splits into more arguments than that and the
// first is quoted, the first argument takes all but the last arity - 1 of them,
// so free text may hold quotes even where a split would otherwise be clean.
ParsedCommand ParseCommandLine(const std::string& line, std::size_t arity = 0);

// Free text given between quotes that may itself hold quotes (SQL, clipboard
// text, paths): the text between the first and the last double quote. Only
// blanks may stand before the first quote and after the last. False when the
// text has no such pair of quotes.
bool OuterQuotedText(const std::string& text, std::string& inner);

}  // namespace ionsift::host
