#include "host/locale/languages.h"

namespace ionsift::locale {
namespace {

struct LanguageName {
  const char* name;
  const char* canonical;
};

// The host sends English names; the native names and ISO 639-1 codes are
// accepted too because hand-edited host settings use them.
constexpr LanguageName kLanguages[] = {
    {"english", "english"}, {"en", "english"},
    {"german", "german"},   {"deutsch", "german"}, {"de", "german"},
    {"french", "french"},   {"francais", "french"}, {"fr", "french"},
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (Lower(*a) != Lower(*b)) return false;
  }
  return *a == *b;
}

}  // namespace

const char* CanonicalLanguage(const char* name) {
  if (name == nullptr) return nullptr;
  for (const LanguageName& row : kLanguages) {
    if (EqualsNoCase(name, row.name)) return row.canonical;
  }
  return nullptr;
}

}  // namespace ionsift::locale
