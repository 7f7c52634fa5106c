// The database selector's entries: names from the files of the host's
// database folder, and the entry a remembered name selects.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ionsift {

// Folder below the host directory, and the pattern the catalogue lists.
constexpr const char* kDatabaseFolder = "Data\\Databases\\";
constexpr const char* kDatabasePattern = "Data\\Databases\\*.db";

// The selector entry of a listed file: its name without ".db". None for an
// empty name, one that does not end in ".db" (letter case aside: the file
// system's wildcard can match more than the pattern says) or ".db" alone.
// Example: "natural.db" -> "natural".
std::optional<std::string> CatalogueEntryName(std::string_view fileName);

// Index of the first entry equal to name ignoring letter case in the ANSI
// code page (text/letter_case.h); 0, the prompt, when name is empty or no
// entry matches.
int EntryIndexIgnoringCase(const std::vector<std::string>& entries, std::string_view name);

}  // namespace ionsift
