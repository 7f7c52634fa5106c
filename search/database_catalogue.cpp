#include "search/database_catalogue.h"

#include "text/letter_case.h"

namespace ionsift {
namespace {

constexpr std::string_view kExtension = ".db";

}  // namespace

std::optional<std::string> CatalogueEntryName(std::string_view fileName) {
    if (fileName.size() <= kExtension.size()) return std::nullopt;
    const std::string_view stem = fileName.substr(0, fileName.size() - kExtension.size());
    if (!EqualIgnoringCase(fileName.substr(stem.size()), kExtension)) return std::nullopt;
    return std::string(stem);
}

int EntryIndexIgnoringCase(const std::vector<std::string>& entries, std::string_view name) {
    if (name.empty()) return 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (EqualIgnoringCase(entries[i], name)) return static_cast<int>(i);
    }
    return 0;
}

}  // namespace ionsift
