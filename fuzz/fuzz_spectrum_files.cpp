// mzML, mzXML, MGF and MSP files of any bytes, through the functions the
// tool window calls: the first byte chooses the format, the rest is the
// file. Listing and reading end, every refusal has a reason, and every
// spectrum read has finite peaks in rising m/z.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "spectra/spectrum_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ionsift;
    if (size < 1) return 0;
    static const char* const kNames[] = {"f.mzML", "f.mzXML", "f.mgf", "f.msp", "f.csv"};
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("ionsift-fuzz-" + std::to_string(getpid()) + kNames[data[0] % 5]);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    SpectrumListing listing;
    SpectrumFileProblem problem;
    if (!ListSpectra(file, listing, problem)) {
        if (problem.reason.empty()) std::abort();
    } else {
        for (std::size_t i = 0; i < listing.entries.size() && i < 8; ++i) {
            Spectrum spectrum;
            if (!ReadListedSpectrum(file, listing, i, spectrum, problem)) {
                if (problem.reason.empty() || !spectrum.peaks.empty()) std::abort();
                continue;
            }
            double last = 0;
            for (const TPeak& peak : spectrum.peaks) {
                if (!(std::isfinite(peak.Mass) && peak.Mass > 0 && peak.Mass >= last && std::isfinite(peak.Prob) &&
                      peak.Prob >= 0))
                    std::abort();
                last = peak.Mass;
            }
        }
    }
    std::filesystem::remove(file);
    return 0;
}
