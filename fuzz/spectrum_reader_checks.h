// What every spectrum reader promises on any bytes, checked by its fuzzer:
// it ends; each spectrum has peaks with a finite m/z above 0 and an intensity
// of at least 0, and a finite precursor above 0 if any; records come in file
// order with lines inside the file; every skip gives a reason.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "spectra/spectrum_reader.h"

namespace ionsift::fuzz {

inline void Check(bool condition) {
    if (!condition) std::abort();
}

inline void ReadChecked(const char* fileName, const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    std::istringstream in(text);
    const std::unique_ptr<SpectrumReader> reader = SpectrumReaderFor(fileName, in);
    Check(reader != nullptr);
    Spectrum spectrum;
    SkippedBlock skipped;
    std::size_t lastIndex = 0, lastLine = 0, records = 0;
    for (ReadStep step; (step = reader->Next(spectrum, skipped)) != ReadStep::End;) {
        Check(++records <= lines);
        if (step == ReadStep::Skipped) {
            Check(!skipped.reason.empty() && skipped.line >= 1 && skipped.line <= lines);
            continue;
        }
        Check(spectrum.index > lastIndex && spectrum.line >= lastLine && spectrum.line <= lines);
        lastIndex = spectrum.index;
        lastLine = spectrum.line;
        Check(!spectrum.peaks.empty() && spectrum.peaks.size() <= kMaxSpectrumPeaks);
        for (const TPeak& peak : spectrum.peaks) {
            Check(std::isfinite(peak.Mass) && peak.Mass > 0 && std::isfinite(peak.Prob) && peak.Prob >= 0);
        }
        Check(!spectrum.precursorMz || (std::isfinite(*spectrum.precursorMz) && *spectrum.precursorMz > 0));
        for (const StatedCharge& charge : spectrum.charges) Check(charge.magnitude > 0);
        const std::optional<double> searched = SearchedMz(spectrum, std::nullopt);
        Check(!searched || (std::isfinite(*searched) && *searched > 0));
    }
    Check(reader->Next(spectrum, skipped) == ReadStep::End);
}

}  // namespace ionsift::fuzz
