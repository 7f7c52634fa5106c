// Messages and titles of any length and content must give a message-box
// command that stays within its limit and keeps its frame.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/error_report.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = size ? data[0] % (size + 1) : 0;
    const std::string text = input.substr(0, split);
    const std::string title = input.substr(split);
    const int style = static_cast<int>(size * 7919);

    const std::string command =
        ionsift::FormatMessageBoxCommand(text.c_str(), title.c_str(), style);
    if (command.size() > ionsift::kMessageCommandLimit) std::abort();
    if (command.compare(0, 12, "messagebox \"") != 0) std::abort();
    const std::string tail = "\" " + std::to_string(style);
    if (command.compare(command.size() - tail.size(), tail.size(), tail) != 0) std::abort();
    return 0;
}
