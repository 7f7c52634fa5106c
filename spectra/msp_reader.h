// NIST MSP spectrum libraries: records of "Key: value" lines starting with
// "Name:", then "Num Peaks: N" and N peaks, a record ended by a blank line
// or the next Name.
//
//   Name: glucose [M+Na]+
//   PrecursorMZ: 203.0526
//   Num Peaks: 2
//   203.0526 100; 204.0560 6.9 "M+1"
//
// A peak line holds one or more m/z and intensity pairs separated by blanks,
// tabs, ";" or ","; text in double quotes (an annotation) is ignored. Name
// titles the spectrum, PrecursorMZ (or Precursor_MZ, PEPMASS) is its
// precursor; other keys are ignored. A record whose peaks do not read, that
// has no Num Peaks, or whose count disagrees with the peaks it holds is
// skipped whole, with the line at fault.
#pragma once

#include <cstdint>
#include <istream>

#include "spectra/spectrum_reader.h"
#include "spectra/spectrum_text.h"

namespace ionsift {

class MspReader : public SpectrumReader {
public:
    explicit MspReader(std::istream& in) : lines_(in) {}
    MspReader(std::istream& in, std::size_t linesBefore, std::uint64_t bytesBefore)
        : lines_(in, linesBefore, bytesBefore) {}
    ReadStep Next(Spectrum& spectrum, SkippedBlock& skipped) override;

private:
    bool NextLine();

    SpectrumLines lines_;
    std::string line_;
    bool tooLong_ = false;
    bool havePending_ = false;  // line_ holds a Name line not yet taken
    std::size_t records_ = 0;
    bool ended_ = false;
};

}  // namespace ionsift
