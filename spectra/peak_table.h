// A peak table as instruments' software exports or copies it: a text file
// (.txt, .csv, .tsv, .xy) or text pasted from the clipboard.
//
//   m/z        Res.    S/N    I        I%      FWHM
//   181,0707   41000   812    1234567  100,00  0,0044
//   182,0740   40500   60     85190    6,90    0,0045
//
// Columns are found from a header row's names: the m/z column is "m/z",
// "mz", "mass" (or starts with one of them); the intensity column
// "intensity", "int", "I", "abundance", "height", "counts", else "I%",
// "rel. int.", "relative intensity" (an absolute column preferred: a
// relative one is rounded), any letter case. Without a header, the first two numeric
// columns. Fields are separated by blanks, tabs, commas or semicolons; a
// decimal comma is recognised when the numbers show it (and commas do not
// separate the fields); the other mark may then group thousands
// ("1.234.567,5", and "1,234,567.5" with decimal points). Numbers read the
// same whatever the C locale.
#pragma once

#include <string_view>
#include <vector>

#include "isotopes/peak_compare.h"
#include "spectra/spectrum_file.h"

namespace ionsift {

// Reads the peaks of `text` in the order written. Lines before the header
// and lines that hold no numbers in the chosen columns (titles, footers)
// are passed over; a row whose m/z or intensity does not read, or m/z not
// above 0, or intensity below 0, is refused with its line. False with
// `problem` set when no peak is found or a row is refused.
bool ReadPeakTable(std::string_view text, std::vector<TPeak>& peaks, SpectrumFileProblem& problem);

}  // namespace ionsift
