#include "annotate/annotate_options.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "ions/ion_notation.h"
#include "spectra/spectrum_text.h"

namespace ionsift::annotate {
namespace {

bool ReadPositive(const std::string& text, double& value) {
    return ReadDecimal(text, value) && value > 0;
}

bool ReadCount(const std::string& text, int& value) {
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(text.data(), last, value);
    return result.ec == std::errc() && result.ptr == last && value >= 1;
}

// The built-in notations as lines of the help text's option column.
std::string IonNotations() {
    constexpr std::size_t kWidth = 78;
    const std::string indent(20, ' ');
    std::string list, line = indent + "built in:";
    for (const Ion& ion : IonTable()) {
        const std::string notation = ion.notation;
        if (line.size() + 1 + notation.size() > kWidth) {
            list += line + "\n";
            line = indent;
        }
        line += (line.size() > indent.size() ? " " : "") + notation;
    }
    return list + line + "\n";
}

// Takes the value of option `name` into `options`; the reason when it is not usable.
std::string TakeValue(const std::string& name, const std::string& value, AnnotateOptions& options) {
    if (name == "--ion") {
        Ion parsed;
        IonNotationProblem fault;
        if (!ParseIonNotation(value, parsed, fault)) return "--ion: " + IonNotationMessage(value, fault);
        const Ion* ion = KnownIon(value);
        if (std::find(options.ions.begin(), options.ions.end(), ion) == options.ions.end()) {
            options.ions.push_back(ion);
        }
        return "";
    }
    if (name == "--ppm") return ReadPositive(value, options.ppm) ? "" : "--ppm needs a number above 0";
    if (name == "--resolution") {
        return ReadPositive(value, options.resolvingPower) ? "" : "--resolution needs a number above 0";
    }
    if (name == "--top") return ReadCount(value, options.top) ? "" : "--top needs a whole number of at least 1";
    if (name == "--max") {
        return ReadCount(value, options.maxCandidates) ? "" : "--max needs a whole number of at least 1";
    }
    if (name == "--mz") {
        double mz = 0;
        if (!ReadPositive(value, mz)) return "--mz needs a number above 0";
        options.mz = mz;
        return "";
    }
    if (name == "--scan") {
        long long scan = 0;
        const char* last = value.data() + value.size();
        const auto result = std::from_chars(value.data(), last, scan);
        if (result.ec != std::errc() || result.ptr != last || scan < 0) return "--scan needs a scan number";
        options.scan = scan;
        return "";
    }
    if (name == "--rt") {
        // MIN-MAX in minutes; the "-" between them is the first after the first character.
        const std::size_t dash = value.find('-', 1);
        double from = 0, to = 0;
        if (dash == std::string::npos || !ReadDecimal(value.substr(0, dash), from) ||
            !ReadDecimal(value.substr(dash + 1), to) || from < 0 || to < from) {
            return "--rt needs MIN-MAX in minutes, MIN at most MAX";
        }
        options.rtMinutes = std::pair{from, to};
        return "";
    }
    if (name == "--out") {
        if (value.empty()) return "--out needs a file name";
        options.outFile = value;
        return "";
    }
    return "unknown option " + name;
}

bool TakesValue(const std::string& name) {
    for (const char* known : {"--ion", "--ppm", "--resolution", "--top", "--max", "--mz", "--scan", "--rt", "--out"}) {
        if (name == known) return true;
    }
    return false;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments, AnnotateOptions& options,
                             std::string& problem) {
    options = AnnotateOptions{};
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") return CommandLine::Help;
        if (argument == "--version") return CommandLine::Version;
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (!TakesValue(name)) {
            problem = "unknown option " + name;
            return CommandLine::Invalid;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            problem = name + " needs a value";
            return CommandLine::Invalid;
        }
        problem = TakeValue(name, value, options);
        if (!problem.empty()) return CommandLine::Invalid;
    }
    if (options.scan && options.rtMinutes) {
        problem = "--scan and --rt exclude each other";
        return CommandLine::Invalid;
    }
    if (operands.size() < 2) {
        problem = operands.empty() ? "no database and no spectrum file" : "no spectrum file";
        return CommandLine::Invalid;
    }
    options.database = operands.front();
    options.spectrumFiles.assign(operands.begin() + 1, operands.end());
    if (options.ions.empty()) options.ions.push_back(&NeutralIon());
    return CommandLine::Run;
}

std::string HelpText() {
    return "usage: ionsift-annotate [--ion ION]... [--ppm P] [--resolution R] [--top K]\n"
           "                        [--max N] [--mz MZ] [--scan N | --rt MIN-MAX] [--out FILE]\n"
           "                        DATABASE.db SPECTRA...\n"
           "\n"
           "Searches a molecule database for the candidates of each spectrum's m/z and\n"
           "ranks them by the fit of their isotope pattern at the instrument's\n"
           "resolving power. Writes tab-separated rows:\n"
           "spectrum, rank, id, name, formula, ion, mz, error_ppm, score, rms.\n"
           "\n"
           "Spectra: .mzML and .mzXML (each MS1 scan), .mgf (BEGIN IONS ... END IONS;\n"
           "PEPMASS is the m/z searched), .msp (each record), or a peak table .txt,\n"
           ".csv, .tsv, .xy (m/z and intensity columns, found by their header names).\n"
           "\n"
           "  --ion ION         the ion the m/z is of, repeatable; any notation\n"
           "                    [nM(+|-k group)...]z(+|-), a group being an element\n"
           "                    formula or ACN, FA, HAc, TFA, MeOH, e.g. [2M+ACN+H]+,\n"
           "                    [M+H-2H2O]+, [M-3H]3-, [M]+ (default M, the neutral\n"
           "                    molecule)\n" + IonNotations() +
           "  --ppm P           mass tolerance in ppm (default 5)\n"
           "  --resolution R    resolving power, FWHM = m/z / R (default 30000)\n"
           "  --top K           rows written per spectrum (default 10)\n"
           "  --max N           at most N candidates per ion window (default: all)\n"
           "  --mz MZ           the m/z searched for plain peak lists (default: the\n"
           "                    lightest peak of at least 1 % of the tallest)\n"
           "  --scan N          mzML, mzXML: only the MS1 scan numbered N\n"
           "  --rt MIN-MAX      mzML, mzXML: the MS1 scans of that retention time in\n"
           "                    minutes, summed into one spectrum\n"
           "  --out FILE        write the rows to FILE instead of standard output\n"
           "  --help, --version\n"
           "\n"
           "Exit status: 0 when a spectrum got candidates, 1 when none did, 2 for a\n"
           "usage error, a database that cannot be read as a molecule database, or a\n"
           "spectrum file that cannot be read.\n";
}

}  // namespace ionsift::annotate
