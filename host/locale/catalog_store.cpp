#include "host/locale/catalog_store.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "host/locale/catalog.h"
#include "host/locale/languages.h"
#include "shell/locale_api.h"

namespace ionsift::locale {
namespace {

struct ErrorRow {
  int code;
  const char* summary;
};

constexpr ErrorRow kErrors[] = {
    {kLocOk, "no error"},
    {kLocBadArgument, "bad argument"},
    {kLocUnreadable, "cannot read the catalog"},
    {kLocMalformed, "malformed catalog"},
    {kLocTooManyOpen, "too many open catalogs"},
    {kLocBadHandle, "unknown catalog handle"},
    {kLocOutOfMemory, "out of memory"},
    {kLocTooLarge, "catalog file larger than 1 MB"},
    {kLocNoCatalog, "no catalog for that language"},
    {kLocUnknownLanguage, "unknown language"},
};
static_assert(kLocNoCatalog == kLocErrNoCatalogForLanguage);
static_assert(kLocUnknownLanguage == kLocErrUnknownLanguage);

std::string Quoted(const char* text) { return std::string("'") + text + "'"; }

}  // namespace

const char* LocaleErrorSummary(int code) {
  for (const ErrorRow& row : kErrors) {
    if (row.code == code) return row.summary;
  }
  return "unknown error";
}

std::string CatalogPath(const std::string& directory, const std::string& language,
                        const std::string& catalogFile) {
  std::string path = directory;
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  return path + "Locale\\" + language + "\\" + catalogFile;
}

void CatalogStore::SetError(int code, const std::string& detail) noexcept {
  error_ = code;
  // Bounded copies only: this also runs after an allocation failure.
  const char* summary = LocaleErrorSummary(code);
  std::size_t used = 0;
  auto append = [this, &used](const char* text) {
    const std::size_t room = sizeof(message_) - 1 - used;
    const std::size_t n = std::min(std::strlen(text), room);
    std::memcpy(message_ + used, text, n);
    used += n;
  };
  append(summary);
  if (!detail.empty()) {
    append(": ");
    append(detail.c_str());
  }
  message_[used] = '\0';
}

int CatalogStore::Open(const char* catalogFile, const char* directory, const char* language,
                       int flag, const char* defaultLanguage) {
  try {
    const int handle = OpenLanguage(catalogFile, directory, language, flag, defaultLanguage);
    if (handle != 0) SetError(kLocOk, "");
    return handle;
  } catch (const std::bad_alloc&) {
    SetError(kLocOutOfMemory, "");
    return 0;
  }
}

int CatalogStore::OpenLanguage(const char* catalogFile, const char* directory,
                               const char* language, int flag, const char* defaultLanguage) {
  if (catalogFile == nullptr || *catalogFile == '\0') {
    SetError(kLocBadArgument, "no catalog file name");
    return 0;
  }
  if (directory == nullptr || language == nullptr) {
    SetError(kLocBadArgument, directory == nullptr ? "no directory" : "no language");
    return 0;
  }
  if ((flag & ~kLocFlagFallBackToDefault) != 0) {
    SetError(kLocBadArgument, "unknown flag bits " + std::to_string(flag));
    return 0;
  }
  const bool fallBack = (flag & kLocFlagFallBackToDefault) != 0;
  if (fallBack && defaultLanguage == nullptr) {
    SetError(kLocBadArgument, "fallback requested without a default language");
    return 0;
  }
  if (open_.size() >= static_cast<std::size_t>(kMaxOpenCatalogs)) {
    SetError(kLocTooManyOpen, "limit " + std::to_string(kMaxOpenCatalogs));
    return 0;
  }

  const char* wanted = CanonicalLanguage(language);
  if (wanted == nullptr) {
    SetError(kLocUnknownLanguage, Quoted(language));
    return 0;
  }
  const std::string path = CatalogPath(directory, wanted, catalogFile);
  const int handle = OpenPath(path);
  if (handle != 0 || error_ != kLocNoCatalog || !fallBack) return handle;

  const char* fallback = CanonicalLanguage(defaultLanguage);
  if (fallback == nullptr) {
    SetError(kLocUnknownLanguage, Quoted(defaultLanguage) + " (default language)");
    return 0;
  }
  if (std::strcmp(fallback, wanted) == 0) return 0;  // already tried, error 8 stands
  const std::string fallbackPath = CatalogPath(directory, fallback, catalogFile);
  const int fallbackHandle = OpenPath(fallbackPath);
  if (fallbackHandle == 0 && error_ == kLocNoCatalog) {
    SetError(kLocNoCatalog, path + " and " + fallbackPath + " not found");
  }
  return fallbackHandle;
}

int CatalogStore::OpenPath(const std::string& path) {
  std::string bytes;
  switch (reader_(path, bytes)) {
    case ReadStatus::kOk: break;
    case ReadStatus::kNotFound: SetError(kLocNoCatalog, path + " not found"); return 0;
    case ReadStatus::kUnreadable: SetError(kLocUnreadable, path); return 0;
    case ReadStatus::kTooLarge: SetError(kLocTooLarge, path); return 0;
  }
  ParsedCatalog parsed = ParseCatalog(bytes.data(), bytes.size());
  if (!parsed.ok()) {
    const char* separator = parsed.error.line > 0 ? " " : ": ";
    SetError(kLocMalformed, path + separator + DescribeCatalogError(parsed.error));
    return 0;
  }
  while (nextHandle_ == 0 || open_.count(nextHandle_) != 0) {
    nextHandle_ = nextHandle_ == INT_MAX ? 1 : nextHandle_ + 1;
  }
  const int handle = nextHandle_;
  nextHandle_ = nextHandle_ == INT_MAX ? 1 : nextHandle_ + 1;
  open_.emplace(handle, std::make_unique<Texts>(std::move(parsed.texts)));
  return handle;
}

const char* CatalogStore::Get(int handle, int id, const char* defaultText) {
  const auto it = open_.find(handle);
  if (it == open_.end()) {
    SetError(kLocBadHandle, std::to_string(handle));
    return defaultText;
  }
  SetError(kLocOk, "");
  const auto text = it->second->find(id);
  return text == it->second->end() ? defaultText : text->second.c_str();
}

bool CatalogStore::Close(int handle) {
  if (open_.erase(handle) == 0) {
    SetError(kLocBadHandle, std::to_string(handle));
    return false;
  }
  SetError(kLocOk, "");
  return true;
}

}  // namespace ionsift::locale

