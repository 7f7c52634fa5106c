// mzML and mzXML: the spectrum elements of a file found through its index
// (or, without a usable one, by reading the file once), each element's head
// read for the list, and one whole element parsed for its peaks. Only one
// element is ever held in memory.
#pragma once

#include "spectra/file_bytes.h"
#include "spectra/spectrum_file.h"

namespace ionsift {

// A spectrum element larger than this is refused rather than read.
constexpr std::size_t kMaxSpectrumElementBytes = 32 << 20;

// The MS1 spectra of the file (format MzML or MzXML) in file order.
bool ListXmlSpectra(FileBytes& file, SpectrumFileFormat format, std::vector<SpectrumEntry>& entries,
                    SpectrumFileProblem& problem);

// The peaks of the element at `entry.offset`, centroided when it is a profile.
bool ReadXmlSpectrum(FileBytes& file, SpectrumFileFormat format, const SpectrumEntry& entry, Spectrum& spectrum,
                     SpectrumFileProblem& problem);

}  // namespace ionsift
