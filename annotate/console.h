// What the command line asks of the system: its arguments in UTF-8, whether
// standard error is a terminal, and standard output written byte for byte.
#pragma once

#include <string>
#include <vector>

namespace ionsift::annotate {

// Without the program name. On Windows from the wide command line, so that
// any file name survives; elsewhere as given.
std::vector<std::string> ProgramArguments(int argc, char** argv);

bool StandardErrorIsTerminal();

// The rows keep their LF line ends: no CR LF translation on Windows.
void WriteStandardOutputAsBytes();

}  // namespace ionsift::annotate
