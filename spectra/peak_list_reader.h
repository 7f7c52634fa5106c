// A plain peak list (.txt, .csv, .tsv): one spectrum, a peak per line, m/z
// then intensity, separated by blanks, tabs, a comma or a semicolon, with a
// decimal point. The first line that is not blank may be a header (its first
// field is not a number); blank lines are ignored.
//
//   m/z;intensity
//   181.0707;100
//   182.0740;6.9
//
// Any other line that is not exactly two numbers (m/z above 0, intensity at
// least 0) makes the list unusable: "181,07;100" has three fields, so a
// decimal comma is refused rather than read as two peaks. A list without
// peaks is skipped too.
#pragma once

#include <istream>

#include "spectra/spectrum_reader.h"
#include "spectra/spectrum_text.h"

namespace ionsift {

class PeakListReader : public SpectrumReader {
public:
    explicit PeakListReader(std::istream& in) : lines_(in) {}
    ReadStep Next(Spectrum& spectrum, SkippedBlock& skipped) override;

private:
    SpectrumLines lines_;
    bool read_ = false;
};

}  // namespace ionsift
