// Feeds arbitrary bytes to the catalog parser; a successful parse must hold
// only valid ids and no line-structure bytes the escapes could not produce.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "host/locale/catalog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ionsift::locale;
  const ParsedCatalog parsed = ParseCatalog(reinterpret_cast<const char*>(data), size);
  if (parsed.ok()) {
    if (parsed.texts.empty()) std::abort();
    for (const auto& [id, text] : parsed.texts) {
      if (id < 0 || id > kMaxCatalogId) std::abort();
      for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\n' && byte != '\t') std::abort();
      }
    }
  } else {
    if (!parsed.texts.empty() || DescribeCatalogError(parsed.error).empty()) std::abort();
  }
  return 0;
}
