// Base64, zlib and float arrays on any bytes: the first byte chooses the
// encoding, the next two the count; an array decoded has exactly that many
// values, a refusal a reason.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "spectra/binary_array.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ionsift;
    if (size < 3) return 0;
    ArrayEncoding encoding;
    encoding.bits = data[0] & 1 ? 32 : 64;
    encoding.zlib = data[0] & 2;
    encoding.bigEndian = data[0] & 4;
    const std::size_t count = data[1] | static_cast<std::size_t>(data[2]) << 8;
    const std::string_view text(reinterpret_cast<const char*>(data + 3), size - 3);
    std::vector<double> values;
    std::string reason;
    std::size_t at = 0;
    if (DecodeArray(text, encoding, count, values, reason, at)) {
        if (values.size() != count) std::abort();
    } else if (reason.empty() || at > text.size()) {
        std::abort();
    }
    return 0;
}
