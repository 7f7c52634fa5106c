// The command line of ionsift-annotate:
//
//   ionsift-annotate [--ion ION]... [--ppm P] [--resolution R] [--top K]
//                    [--max N] [--mz MZ] [--scan N | --rt MIN-MAX] [--out FILE]
//                    DATABASE.db SPECTRA...
//
// Options also take the form --name=value. Numbers are read with a "."
// whatever the C locale.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ions/ion_table.h"

namespace ionsift::annotate {

// SQLite's LIMIT for "no cap": a negative limit returns every row.
constexpr int kNoCandidateCap = -1;

struct AnnotateOptions {
    std::vector<const Ion*> ions;  // each once, in the order given; M when none given
    double ppm = 5;
    double resolvingPower = 30000;
    int top = 10;                      // rows per spectrum
    int maxCandidates = kNoCandidateCap;  // per ion window
    std::optional<double> mz;          // the m/z of plain peak lists
    std::optional<long long> scan;     // mzML/mzXML: only this MS1 scan
    std::optional<std::pair<double, double>> rtMinutes;  // mzML/mzXML: these scans summed
    std::string outFile;               // "" writes to standard output
    std::string database;
    std::vector<std::string> spectrumFiles;
};

enum class CommandLine { Run, Help, Version, Invalid };

// `arguments` without the program name. Invalid with the reason in `problem`.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments, AnnotateOptions& options,
                             std::string& problem);

// The help text: usage, options with their defaults, exit statuses.
std::string HelpText();

}  // namespace ionsift::annotate
