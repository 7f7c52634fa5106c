// Fuzzes the host's command-line splitting and serving: no crash, no
// out-of-range read, and the split must be consistent with the input.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const ionsift::host::ParsedCommand parsed = ionsift::host::ParseCommandLine(line);

    // Every piece comes from the line: together they can never be longer.
    std::size_t total = parsed.word.size();
    for (const auto& argument : parsed.arguments) {
        total += argument.text.size();
        if (!argument.quoted && argument.text.empty()) std::abort();
    }
    if (total > line.size() || parsed.rest.size() > line.size()) std::abort();
    if (line.find(parsed.word) == std::string::npos) std::abort();

    QuietHost host;
    const ionsift::host::CommandResult result = ionsift::host::ExecuteCommand(line, host);
    if (result.error < 0 || result.error > 4) std::abort();
    if (result.error != 0 && result.answer.empty()) std::abort();
    return 0;
}
