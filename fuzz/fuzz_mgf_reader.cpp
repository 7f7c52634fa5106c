// The MGF reader on any bytes (fuzz/spectrum_reader_checks.h).
#include "fuzz/spectrum_reader_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ionsift::fuzz::ReadChecked("spectra.mgf", data, size);
    return 0;
}
