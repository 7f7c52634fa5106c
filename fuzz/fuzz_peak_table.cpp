// Peak tables as pasted or opened on any bytes: every peak read has a finite
// m/z above 0 and an intensity of at least 0, a refusal has a reason, and
// the edit's text from the peaks has at most 200 lines.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "spectra/exdata_text.h"
#include "spectra/peak_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ionsift;
    std::vector<TPeak> peaks;
    SpectrumFileProblem problem;
    const bool read = ReadPeakTable(std::string_view(reinterpret_cast<const char*>(data), size), peaks, problem);
    if (!read && problem.reason.empty()) std::abort();
    for (const TPeak& peak : peaks) {
        if (!(std::isfinite(peak.Mass) && peak.Mass > 0 && std::isfinite(peak.Prob) && peak.Prob >= 0)) std::abort();
    }
    const std::string text = ExDataText(peaks, peaks.empty() ? std::nullopt : std::optional(peaks[0].Mass));
    if (std::count(text.begin(), text.end(), '\n') > static_cast<long>(kMaxExDataPeaks)) std::abort();
    return 0;
}
