// Spectrum files as streams of records: each call gives the next spectrum or
// the next block skipped, with the line to blame and the reason. The format
// comes from the file name's extension.
#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

#include "spectra/spectrum.h"

namespace ionsift {

struct SkippedBlock {
    std::size_t line = 0;  // the line at fault, or where the block starts
    std::string reason;
};

enum class ReadStep { Spectrum, Skipped, End };

class SpectrumReader {
public:
    virtual ~SpectrumReader() = default;
    // Fills `spectrum` (ReadStep::Spectrum) or `skipped` (ReadStep::Skipped);
    // ReadStep::End once the input is used up, and from then on.
    virtual ReadStep Next(Spectrum& spectrum, SkippedBlock& skipped) = 0;
};

// ".mgf": Mascot generic format. ".txt", ".csv", ".tsv": a plain peak list.
// Letter case does not matter. Null for any other name.
std::unique_ptr<SpectrumReader> SpectrumReaderFor(std::string_view fileName, std::istream& in);

// The extensions SpectrumReaderFor knows, for messages: ".mgf, .txt, .csv, .tsv".
const char* SpectrumFileExtensions();

}  // namespace ionsift
