// Listing the host's molecule databases from its database folder.
#pragma once

#include <string>
#include <vector>

namespace ionsift {

// Selector entries for the files hostDirectory + "Data\Databases\*.db", in
// the file system's order: directories and unusable names skipped, ".db"
// removed. Empty when the folder is missing or holds no database.
std::vector<std::string> ListDatabaseNames(const std::string& hostDirectory);

}  // namespace ionsift
