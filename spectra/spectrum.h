// A measured spectrum as read from a spectrum file: its name, the precursor
// m/z and charges the file states, and its peaks in file order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "isotopes/peak_compare.h"

namespace ionsift {

// One charge a file states: "2+" is {2, +1}; a bare "2" leaves the sign open.
struct StatedCharge {
    int magnitude = 0;
    int sign = 0;  // +1, -1, or 0 when not written
};

struct Spectrum {
    std::size_t index = 0;  // 1-based place of its block in the file
    std::size_t line = 0;   // the line its block starts on
    std::uint64_t offset = 0;  // the byte its block or element starts at
    std::string title;      // "" when the file gives none
    std::optional<double> precursorMz;
    std::vector<StatedCharge> charges;  // none stated: any ion may have made it
    std::vector<TPeak> peaks;           // m/z and intensity, in file order
};

// Bounds that keep a hostile or broken file cheap to read.
constexpr std::size_t kMaxSpectrumLineBytes = 64 * 1024;
constexpr std::size_t kMaxSpectrumPeaks = 1000000;

// A peak is at least this share of the tallest to be taken as the
// monoisotopic peak of a plain peak list: lighter noise is passed over.
constexpr double kMonoisotopicPeakShare = 0.01;

// The m/z to search for: the precursor the file states, else `typedMz`,
// else the lightest peak of at least 1 % of the tallest. Nothing when none
// of these exists (no peak above 0).
std::optional<double> SearchedMz(const Spectrum& spectrum, std::optional<double> typedMz);

// Whether an ion of signed charge `ionCharge` agrees with the charges the
// spectrum states: always when it states none or the ion is the neutral
// molecule (charge 0), else when one stated charge has its size and sign.
bool ChargeAgrees(const Spectrum& spectrum, int ionCharge);

// Reads one peak from its m/z and intensity fields and adds it; the reason
// when it cannot ("" when added): an m/z not above 0, a negative intensity,
// a text that is no number, or a spectrum already at kMaxSpectrumPeaks.
std::string AddPeak(std::string_view mz, std::string_view intensity, std::vector<TPeak>& peaks);

// "<file>#<index>" when the spectrum has no title.
std::string SpectrumName(const Spectrum& spectrum, const std::string& fileName);

}  // namespace ionsift
