// Every format of spectrum_file.h as a stream of spectra, for the command
// line: one spectrum per MS1 scan (mzML, mzXML), block (MGF), record (MSP)
// or peak table. For mzML and mzXML a scan can be chosen by its number, or
// the scans of a retention-time range summed into one spectrum.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <utility>

#include "spectra/spectrum_file.h"
#include "spectra/spectrum_reader.h"

namespace ionsift {

struct ScanChoice {
    std::optional<long long> scan;                        // only this MS1 scan
    std::optional<std::pair<double, double>> rtMinutes;   // the scans from first to second, summed
    double resolvingPower = 30000;                        // peaks closer than m/z / R are summed as one
};

// Null with `problem` set when the file cannot be opened or its format is
// unknown. Damage inside the file comes as ReadStep::Skipped: with the line
// for text formats, else line 0 and the byte in the reason.
std::unique_ptr<SpectrumReader> OpenSpectrumFile(const std::filesystem::path& file, const ScanChoice& choice,
                                                 SpectrumFileProblem& problem);

// Peaks of several spectra as one: pooled in rising m/z, each run of peaks
// within m/z / R of the run's first becomes one peak at their
// intensity-weighted m/z with their summed intensity. O(n log n).
std::vector<TPeak> SumPeaks(const std::vector<std::vector<TPeak>>& spectra, double resolvingPower);

}  // namespace ionsift
