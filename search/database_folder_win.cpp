#include "search/database_folder_win.h"

#include <windows.h>

#include "search/database_catalogue.h"

namespace ionsift {

std::vector<std::string> ListDatabaseNames(const std::string& hostDirectory) {
    std::vector<std::string> names;
    const std::string pattern = hostDirectory + kDatabasePattern;
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (auto name = CatalogueEntryName(entry.cFileName)) names.push_back(std::move(*name));
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

}  // namespace ionsift
