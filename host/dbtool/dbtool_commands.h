// dbtool build and synth, apart from argument parsing so that tests run them
// (import: import_command.h).
// Each reports on `report` (stderr for the tool) and returns the exit status.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>

namespace ionsift::dbtool {

// Every *.cml file under `folder`, recursively and in path order, as one row
// each. Files that cannot be used are reported with the reason and left
// out; it fails only when no row can be written.
int BuildStructureDb(const std::filesystem::path& folder, const std::filesystem::path& out,
                     std::ostream& report);

// `count` synthetic molecules, IDs 1 to count.
int BuildSyntheticDb(long long count, const std::filesystem::path& out, std::uint64_t seed,
                     std::ostream& report);

}  // namespace ionsift::dbtool
