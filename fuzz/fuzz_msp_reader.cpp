// The MSP reader on any bytes: it ends; records in file order with their
// lines inside the input; peaks finite, m/z above 0, intensity at least 0;
// every skip has a reason.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "spectra/msp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ionsift;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    std::istringstream in(text);
    MspReader reader(in);
    Spectrum spectrum;
    SkippedBlock skipped;
    std::size_t records = 0, lastLine = 0;
    for (ReadStep step; (step = reader.Next(spectrum, skipped)) != ReadStep::End;) {
        if (++records > lines) std::abort();
        if (step == ReadStep::Skipped) {
            if (skipped.reason.empty() || skipped.line < 1 || skipped.line > lines) std::abort();
            continue;
        }
        if (spectrum.line < lastLine || spectrum.line > lines || spectrum.offset >= size) std::abort();
        lastLine = spectrum.line;
        for (const TPeak& peak : spectrum.peaks) {
            if (!(std::isfinite(peak.Mass) && peak.Mass > 0 && std::isfinite(peak.Prob) && peak.Prob >= 0)) std::abort();
        }
    }
    return 0;
}
