// Packed structures as the host expands them. Any bytes, and packed text
// damaged at one byte and cut at one place (as a torn write or a bad sector
// would leave it): the host gets the text back or a reason, never a crash,
// never more than the stated length nor the bound. Packing then expanding
// gives the text back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/chem/cml_blob.h"
#include "host/chem/cml_limits.h"

namespace {

using namespace ionsift::chem;

void CheckExpansion(std::string_view bytes) {
    const CmlUnpack unpacked = UnpackCml(bytes);
    if (unpacked.ok != unpacked.error.empty()) std::abort();
    if (unpacked.ok && (!IsPackedCml(bytes) || unpacked.cml.size() > kMaxCmlBytes)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckExpansion(bytes);
    if (size < 4) return 0;

    // The first four bytes say where to damage the packed rest and how.
    static CmlPacker packer;
    const std::string_view text = bytes.substr(4);
    std::string packed = packer.Pack(text);
    const CmlUnpack back = UnpackCml(packed);
    if (!back.ok || back.cml != text) std::abort();
    const std::size_t at = (data[0] | data[1] << 8) % packed.size();
    packed[at] = static_cast<char>(packed[at] ^ data[2]);
    CheckExpansion(packed);
    packed.resize(packed.size() - data[3] % packed.size());
    CheckExpansion(packed);
    return 0;
}
