// dbtool build <folder of CML files> <out.db>
// dbtool synth <count> <out.db> [seed]
#include <charconv>
#include <cstdint>
#include <iostream>
#include <string_view>

#include "host/dbtool/dbtool_commands.h"
#include "host/dbtool/synthetic_molecules.h"

namespace {

constexpr const char* kUsage =
    "usage: dbtool build <folder of CML files> <out.db>\n"
    "       dbtool synth <count> <out.db> [seed]\n";

template <typename Number>
bool ReadNumber(std::string_view text, Number& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace ionsift::dbtool;
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "build" && argc == 4) return BuildStructureDb(argv[2], argv[3], std::cerr);
    if (command == "synth" && (argc == 4 || argc == 5)) {
        long long count = 0;
        std::uint64_t seed = kDefaultSyntheticSeed;
        if (!ReadNumber(argv[2], count) || (argc == 5 && !ReadNumber(argv[4], seed))) {
            std::cerr << "dbtool: count and seed are decimal integers\n" << kUsage;
            return 2;
        }
        return BuildSyntheticDb(count, argv[3], seed, std::cerr);
    }
    std::cerr << kUsage;
    return 2;
}
