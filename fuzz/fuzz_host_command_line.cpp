// Fuzzes the host's command-line splitting and serving: no crash, no
// out-of-range read, every piece of a split inside the line, and every
// command answered with a known error code. The first byte may put a command
// word in front, so the database, isotope and clipboard commands are reached
// with the rest as their arguments; every DbOpen opens one scratch database.
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/app/command_line.h"
#include "host/app/command_table.h"

namespace {

std::string ScratchDatabase() {
    const std::string path = "/tmp/ionsift-fuzz-host-" + std::to_string(getpid()) + ".db";
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE IF NOT EXISTS Molecules (ID INTEGER PRIMARY KEY, MassMI REAL NOT NULL,"
                 " Formula TEXT, Name TEXT, Structure TEXT);"
                 "INSERT OR IGNORE INTO Molecules VALUES (1, 180.063388, 'C6H12O6', 'glucose;\n', NULL),"
                 " (2, 18.010565, 'H2O', 'water', '<molecule><atomArray><atom id=\"a1\" elementType=\"O\""
                 " x2=\"0\" y2=\"0\"/></atomArray></molecule>');",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::atexit([] { std::remove(("/tmp/ionsift-fuzz-host-" + std::to_string(getpid()) + ".db").c_str()); });
    return path;
}

class QuietHost : public ionsift::host::HostServices {
public:
    int ShowMessageBox(const std::string&, const std::string&, unsigned) override { return 1; }
    std::string Language() const override { return "english"; }
    void SetBusy(bool) override {}
    bool CopyText(const std::string&, std::string&) override { return true; }
    void ShowMolecule(const ionsift::host::WorkspaceMolecule&) override {}
    std::string DatabaseFileName(const std::string&) const override {
        static const std::string scratch = ScratchDatabase();
        return scratch;
    }
};

constexpr const char* kPrefixes[] = {
    "", "DbOpen ", "DbSqlExec db1 ", "DbSqlExec db1 \"SELECT ", "DbClose ", "DbGetRowId db1 ",
    "IsoDist ", "CopyText ",
};
constexpr std::size_t kPrefixCount = sizeof kPrefixes / sizeof kPrefixes[0];

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

void CheckResult(const ionsift::host::CommandResult& result) {
    if (result.error < 0 || result.error > ionsift::host::kLastCommandError) std::abort();
    if (result.error != 0 && result.answer.empty()) std::abort();
    // A served command's failure begins with "0"; an unknown one names itself.
    const bool served = result.error != ionsift::host::kCommandUnknown;
    if (result.error != 0 && served && result.answer[0] != '0') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), size);
    CheckSplit(raw, ionsift::host::ParseCommandLine(raw));
    const std::size_t arity = size > 0 ? data[0] % 4 : 0;
    CheckSplit(raw, ionsift::host::ParseCommandLine(raw, arity));

    const std::string line = (size > 0 ? kPrefixes[data[0] % kPrefixCount] : "") + raw;
    QuietHost host;
    ionsift::host::CommandInterpreter interpreter(host);
    CheckResult(interpreter.Execute("DbOpen \"scratch\""));
    // A fuzzed recursive query must not stall the run.
    interpreter.databases().Find("db1")->SetQueryTimeLimit(std::chrono::milliseconds(100));
    CheckResult(interpreter.Execute(line));
    return 0;
}
