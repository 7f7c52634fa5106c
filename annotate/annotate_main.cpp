// ionsift-annotate: annotates spectrum files from a molecule database; see
// annotate_options.h and the README.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>

#include "annotate/annotate_options.h"
#include "annotate/annotate_run.h"
#include "annotate/molecule_database.h"
#include "annotate/nominal_sticks.h"
#include "annotate/console.h"
#include "version.h"

namespace ionsift::annotate {
namespace {

constexpr const char* kProgram = "ionsift-annotate";
constexpr const char* kVersion = "ionsift-annotate " IONSIFT_VERSION "\n";

// With --out, the rows go to "<FILE>.partial", which replaces FILE only when
// the run has finished, so a failed run leaves an earlier FILE as it was.
int AnnotateInto(const AnnotateOptions& options, const MoleculeDatabase& database, RunStreams streams) {
    if (options.outFile.empty()) return AnnotateSpectra(options, database, HostNominalSticks, streams);
    const std::filesystem::path target = std::filesystem::u8path(options.outFile);
    std::filesystem::path partial = target;
    partial += ".partial";
    int status = kFailed;
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out) {
            std::cerr << kProgram << ": " << options.outFile << ".partial: cannot be written\n";
            return kFailed;
        }
        status = AnnotateSpectra(options, database, HostNominalSticks, {out, streams.messages, streams.progress});
        out.close();
        if (!out) status = kFailed;
    }
    std::error_code error;
    if (status != kFailed) std::filesystem::rename(partial, target, error);
    if (status == kFailed || error) {
        if (error) std::cerr << kProgram << ": " << options.outFile << ": " << error.message() << '\n';
        std::filesystem::remove(partial, error);
        return kFailed;
    }
    return status;
}

int Main(int argc, char** argv) {
    AnnotateOptions options;
    std::string problem;
    switch (ParseCommandLine(ProgramArguments(argc, argv), options, problem)) {
    case CommandLine::Help:
        std::cout << HelpText();
        return kAnnotated;
    case CommandLine::Version:
        std::cout << kVersion;
        return kAnnotated;
    case CommandLine::Invalid:
        std::cerr << kProgram << ": " << problem << "\n" << HelpText();
        return kFailed;
    case CommandLine::Run:
        break;
    }
    const std::unique_ptr<MoleculeDatabase> database = MoleculeDatabase::Open(options.database, problem);
    if (!database) {
        std::cerr << kProgram << ": " << options.database << ": not a molecule database: " << problem << '\n';
        return kFailed;
    }
    WriteStandardOutputAsBytes();
    std::ios::sync_with_stdio(false);
    return AnnotateInto(options, *database, {std::cout, std::cerr, StandardErrorIsTerminal()});
}

}  // namespace
}  // namespace ionsift::annotate

int main(int argc, char** argv) {
    try {
        return ionsift::annotate::Main(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "ionsift-annotate: " << error.what() << '\n';
        return ionsift::annotate::kFailed;
    }
}
