// The columns of the list from which the user picks one spectrum of a file,
// by format: scan, retention time and base peak for mzML and mzXML, title
// and precursor for MGF, name and precursor for MSP.
#pragma once

#include <cstddef>
#include <string>

#include "spectra/spectrum_file.h"

namespace ionsift {

enum class SpectrumCell { Scan, RetentionTime, BasePeak, Title, Precursor };

struct SpectrumPickColumn {
    SpectrumCell cell;
    int stringId;  // caption
    int width;     // pixels
};

struct SpectrumPickColumns {
    const SpectrumPickColumn* columns;
    std::size_t count;
};

SpectrumPickColumns PickColumnsFor(SpectrumFileFormat format);

// A cell's text, numbers in the user's separator: the scan number, minutes
// with two decimals, m/z with four; "" for a value the file does not give.
std::string SpectrumCellText(SpectrumCell cell, const SpectrumEntry& entry, char separator);

}  // namespace ionsift
