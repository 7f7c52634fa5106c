// Mascot generic format: spectra between "BEGIN IONS" and "END IONS" lines.
//
//   BEGIN IONS
//   TITLE=glucose [M+Na]+
//   PEPMASS=203.0526 1200
//   CHARGE=1+
//   203.0526 100
//   204.0560 6.9
//   END IONS
//
// Inside a block: TITLE names the spectrum, PEPMASS's first number is the
// precursor m/z, CHARGE lists charges ("2+", "1-", "2+ and 3+", "2"); other
// KEY=value lines are ignored. A peak line is m/z and intensity separated by
// blanks or tabs; further columns are ignored. Lines starting with #, ;, !
// or / are comments, in a block or between blocks, and so are blank lines;
// KEY=value lines between blocks (global parameters) are ignored. A block
// with a line of any other kind, a number that does not read, no peak or no
// END IONS is skipped whole, with the line at fault.
#pragma once

#include <istream>

#include "spectra/spectrum_reader.h"
#include "spectra/spectrum_text.h"

namespace ionsift {

class MgfReader : public SpectrumReader {
public:
    explicit MgfReader(std::istream& in) : lines_(in) {}
    // Reading on from a block's BEGIN IONS in the middle of a file: line
    // numbers and offsets continue from those before it.
    MgfReader(std::istream& in, std::size_t linesBefore, std::uint64_t bytesBefore)
        : lines_(in, linesBefore, bytesBefore) {}
    ReadStep Next(Spectrum& spectrum, SkippedBlock& skipped) override;

private:
    // Reads the lines of a block after its BEGIN IONS up to its END IONS.
    ReadStep ReadBlock(Spectrum& spectrum, SkippedBlock& skipped);
    // Reads on to the END IONS (or the next BEGIN IONS) of a faulty block.
    void SkipRestOfBlock();

    SpectrumLines lines_;
    std::string line_;
    std::size_t blocks_ = 0;
    bool pendingBegin_ = false;  // a BEGIN IONS ended the previous block
    std::size_t beginLine_ = 0;  // the line of that BEGIN IONS
    std::uint64_t beginOffset_ = 0;
    bool strayReported_ = false;  // lines outside blocks reported since the last block
    bool ended_ = false;
};

}  // namespace ionsift
