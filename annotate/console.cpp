// POSIX: arguments are bytes, UTF-8 on any current system.
#include "annotate/console.h"

#include <unistd.h>

namespace ionsift::annotate {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

void WriteStandardOutputAsBytes() {}

}  // namespace ionsift::annotate
