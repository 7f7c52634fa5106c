// Fuzzes the host's command-line splitting and serving: no crash, no
// out-of-range read, and every piece of a split must lie inside the line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/app/command_line.h"
#include "host/app/command_table.h"

namespace {

class QuietHost : public ionsift::host::HostServices {
public:
    int ShowMessageBox(const std::string&, const std::string&, unsigned) override { return 1; }
    std::string Language() const override { return "english"; }
    void SetBusy(bool) override {}
};

void CheckSplit(const std::string& line, const ionsift::host::ParsedCommand& parsed) {
    if (line.find(parsed.word) == std::string::npos || parsed.rest.size() > line.size()) std::abort();
    std::size_t previousEnd = 0;
    for (const auto& argument : parsed.arguments) {
        const std::size_t begin = argument.rawBegin;
        const std::size_t end = argument.rawEnd;
        if (begin < previousEnd || end <= begin || end > line.size()) std::abort();
        if (argument.text.size() > end - begin) std::abort();
        // The text sits in its span, after the opening quote when quoted.
        const std::size_t textAt = argument.quoted ? begin + 1 : begin;
        if (line.compare(textAt, argument.text.size(), argument.text) != 0) std::abort();
        if (argument.quoted != (line[begin] == '"')) std::abort();
        previousEnd = end;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    CheckSplit(line, ionsift::host::ParseCommandLine(line));
    const std::size_t arity = size > 0 ? data[0] % 4 : 0;
    CheckSplit(line, ionsift::host::ParseCommandLine(line, arity));

    QuietHost host;
    const ionsift::host::CommandResult result = ionsift::host::ExecuteCommand(line, host);
    if (result.error < 0 || result.error > 4) std::abort();
    if (result.error != 0 && result.answer.empty()) std::abort();
    return 0;
}
