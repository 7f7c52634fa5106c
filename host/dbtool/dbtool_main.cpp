// dbtool build <folder of CML files> <out.db>
// dbtool synth <count> <out.db> [seed]
// dbtool import [--append] [--name-field FIELD] <out.db> <file>...
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <vector>

#include "host/dbtool/dbtool_commands.h"
#include "host/dbtool/import_command.h"
#include "host/dbtool/synthetic_molecules.h"

namespace {

constexpr const char* kUsage =
    "usage: dbtool build <folder of CML files> <out.db>\n"
    "       dbtool synth <count> <out.db> [seed]\n"
    "       dbtool import [--append] [--name-field FIELD] <out.db> <file>...\n"
    "\n"
    "import reads compound files into a molecule database: SD (.sdf, .sd, .mol;\n"
    "V2000 or V3000), SMILES (.smi, .smiles: a SMILES, then an optional name) and\n"
    "tables (.csv, .tsv: a header row with a column smiles or formula and\n"
    "optionally name or title), each optionally gzip-compressed (.gz).\n"
    "  --append           add the records to the existing <out.db> in one\n"
    "                     transaction; without it <out.db> is replaced when the\n"
    "                     import has finished, if it is a molecule database\n"
    "                     (never an input, a read-only or any other file)\n"
    "  --name-field FIELD name each record by this SD data item or table column\n"
    "                     (e.g. PUBCHEM_IUPAC_NAME), else by its title, else as\n"
    "                     <file>:<record number>\n"
    "Records that cannot be read are named as <file>:<line>: <reason> and skipped.\n"
    "An import into a database another import is writing waits for it.\n"
    "Exit status: 0 some records imported, 1 none, 2 usage or file error.\n";

template <typename Number>
bool ReadNumber(std::string_view text, Number& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

std::atomic<bool> gInterrupted{false};
std::atomic<int> gSignal{0};

extern "C" void OnInterrupt(int signal) {
    gSignal = signal;
    gInterrupted = true;
}

int Import(int argc, char** argv) {
    using namespace ionsift::dbtool;
    ImportOptions options;
    int at = 2;
    for (; at < argc; ++at) {
        const std::string_view word = argv[at];
        if (word == "--append") {
            options.append = true;
        } else if (word == "--name-field" && at + 1 < argc) {
            options.nameField = argv[++at];
        } else if (word.substr(0, 2) == "--") {
            std::cerr << "dbtool: unknown option " << word << "\n" << kUsage;
            return 2;
        } else {
            break;
        }
    }
    if (argc - at < 2) {
        std::cerr << kUsage;
        return 2;
    }
    const std::filesystem::path out = argv[at];
    const std::vector<std::filesystem::path> files(argv + at + 1, argv + argc);
    if (isatty(STDERR_FILENO)) options.progress = &std::cerr;
    // An interrupted import cleans up after itself, then dies of the signal.
    options.cancel = &gInterrupted;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    std::signal(SIGHUP, OnInterrupt);  // the terminal went away
    const int status = ImportFiles(out, files, options, std::cerr);
    // A signal that came too late to stop a finished import changes nothing.
    if (gInterrupted && status != 0) {
        std::signal(gSignal, SIG_DFL);
        std::raise(gSignal);
    }
    // A failed import may leave a worker inside the toolkit: end the process
    // without running the toolkit's static destructors under it.
    if (status == 2) {
        std::cout.flush();
        std::cerr.flush();
        std::_Exit(status);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace ionsift::dbtool;
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "build" && argc == 4) return BuildStructureDb(argv[2], argv[3], std::cerr);
    if (command == "synth" && (argc == 4 || argc == 5)) {
        long long count = 0;
        std::uint64_t seed = kDefaultSyntheticSeed;
        if (!ReadNumber(argv[2], count) || (argc == 5 && !ReadNumber(argv[4], seed))) {
            std::cerr << "dbtool: count and seed are decimal integers\n" << kUsage;
            return 2;
        }
        return BuildSyntheticDb(count, argv[3], seed, std::cerr);
    }
    if (command == "import") return Import(argc, argv);
    if (command == "--help" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    std::cerr << kUsage;
    return 2;
}
