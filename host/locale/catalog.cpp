#include "host/locale/catalog.h"

#include <cstring>

namespace ionsift::locale {
namespace {

struct FaultText {
  CatalogFault fault;
  const char* text;
};

constexpr FaultText kFaultTexts[] = {
    {CatalogFault::kNone, "no error"},
    {CatalogFault::kByteOrderMark, "UTF-8 byte order mark: catalogs are Windows-1252 text"},
    {CatalogFault::kIdNotNumeric, "the line does not start with a numeric string id"},
    {CatalogFault::kMissingTab, "missing tab after the string id"},
    {CatalogFault::kIdOutOfRange, "string id above 9999"},
    {CatalogFault::kDuplicateId, "string id repeated"},
    {CatalogFault::kUnknownEscape, "unknown escape (only \\n, \\t and \\\\ exist)"},
    {CatalogFault::kTruncatedEscape, "backslash at the end of the line"},
    {CatalogFault::kControlByte, "control character in the text"},
    {CatalogFault::kStrayCarriageReturn, "carriage return not followed by a line feed"},
    {CatalogFault::kNoEntries, "the catalog holds no entries"},
};

bool IsBlank(const char* begin, const char* end) {
  for (const char* p = begin; p != end; ++p) {
    if (*p != ' ' && *p != '\t') return false;
  }
  return true;
}

// Decodes the text part of one line; returns kNone or the fault found.
CatalogFault DecodeText(const char* p, const char* end, std::string& out) {
  out.reserve(static_cast<std::size_t>(end - p));
  while (p != end) {
    const unsigned char c = static_cast<unsigned char>(*p++);
    if (c == '\\') {
      if (p == end) return CatalogFault::kTruncatedEscape;
      switch (*p++) {
        case 'n': out.push_back('\n'); break;
        case 't': out.push_back('\t'); break;
        case '\\': out.push_back('\\'); break;
        default: return CatalogFault::kUnknownEscape;
      }
    } else if (c == '\r') {
      return CatalogFault::kStrayCarriageReturn;
    } else if (c < 0x20 && c != '\t') {
      return CatalogFault::kControlByte;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return CatalogFault::kNone;
}

// Parses one entry line (not blank, not a comment) into id and text.
CatalogError ParseEntry(const char* p, const char* end, int line, int& id, std::string& text) {
  int value = 0;
  bool tooBig = false;
  const char* digits = p;
  while (p != end && *p >= '0' && *p <= '9') {
    if (!tooBig) {
      value = value * 10 + (*p - '0');
      tooBig = value > kMaxCatalogId;
    }
    ++p;
  }
  if (p == digits) return {CatalogFault::kIdNotNumeric, line, -1};
  if (p == end || *p != '\t') return {CatalogFault::kMissingTab, line, tooBig ? -1 : value};
  if (tooBig) return {CatalogFault::kIdOutOfRange, line, -1};
  id = value;
  const CatalogFault fault = DecodeText(p + 1, end, text);
  return {fault, fault == CatalogFault::kNone ? 0 : line, value};
}

}  // namespace

ParsedCatalog ParseCatalog(const char* data, std::size_t size) {
  ParsedCatalog result;
  auto fail = [&result](CatalogError error) {
    result.texts.clear();
    result.error = error;
    return result;
  };
  if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
    return fail({CatalogFault::kByteOrderMark, 1, -1});
  }
  const char* pos = data;
  const char* const end = data + size;
  int line = 0;
  while (pos != end) {
    ++line;
    const void* lf = std::memchr(pos, '\n', static_cast<std::size_t>(end - pos));
    const char* lineEnd = lf ? static_cast<const char*>(lf) : end;
    const char* next = lf ? lineEnd + 1 : end;
    if (lineEnd != pos && lineEnd[-1] == '\r') --lineEnd;  // CRLF line end

    if (!IsBlank(pos, lineEnd) && *pos != '#') {
      int id = 0;
      std::string text;
      const CatalogError error = ParseEntry(pos, lineEnd, line, id, text);
      if (error.fault != CatalogFault::kNone) return fail(error);
      if (!result.texts.emplace(id, std::move(text)).second) {
        return fail({CatalogFault::kDuplicateId, line, id});
      }
    }
    pos = next;
  }
  if (result.texts.empty()) return fail({CatalogFault::kNoEntries, 0, -1});
  return result;
}

std::string DescribeCatalogError(const CatalogError& error) {
  const char* reason = "unknown fault";
  for (const FaultText& row : kFaultTexts) {
    if (row.fault == error.fault) reason = row.text;
  }
  std::string out;
  if (error.line > 0) out = "line " + std::to_string(error.line) + ": ";
  out += reason;
  if (error.fault == CatalogFault::kDuplicateId) out += " (" + std::to_string(error.id) + ")";
  return out;
}

}  // namespace ionsift::locale
