// Message catalog parser: the bytes of one catalog file in, a table of
// id -> text out, or the first fault with its line number. Portable, no I/O.
#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace ionsift::locale {

// Highest string id a catalog may hold; keeps ids short and typos visible.
constexpr int kMaxCatalogId = 9999;

enum class CatalogFault {
  kNone,
  kByteOrderMark,
  kIdNotNumeric,
  kMissingTab,
  kIdOutOfRange,
  kDuplicateId,
  kUnknownEscape,
  kTruncatedEscape,
  kControlByte,
  kStrayCarriageReturn,
  kNoEntries,
};

struct CatalogError {
  CatalogFault fault = CatalogFault::kNone;
  int line = 0;  // 1-based; 0 when the fault concerns the whole file
  int id = -1;   // the string id concerned, when known
};

struct ParsedCatalog {
  // Node-based so that c_str() of a text stays put while the map lives.
  std::map<int, std::string> texts;
  CatalogError error;
  bool ok() const { return error.fault == CatalogFault::kNone; }
};

// Never reads outside [data, data + size). On a fault, texts is empty.
ParsedCatalog ParseCatalog(const char* data, std::size_t size);

// "line 12: missing tab after the string id" (no line part for whole-file faults).
std::string DescribeCatalogError(const CatalogError& error);

}  // namespace ionsift::locale
