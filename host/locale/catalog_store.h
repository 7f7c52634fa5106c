// The open catalogs of the localization library and its last-error state.
// Portable: file access comes in through a reader function, so the Win32
// exports only add file I/O and locking.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace ionsift::locale {

// Codes reported by LocGetErr; 8 and 9 are the expected ones of locale_api.h.
enum LocaleErrorCode : int {
  kLocOk = 0,
  kLocBadArgument = 1,
  kLocUnreadable = 2,
  kLocMalformed = 3,
  kLocTooManyOpen = 4,
  kLocBadHandle = 5,
  kLocOutOfMemory = 6,
  kLocTooLarge = 7,
  kLocNoCatalog = 8,
  kLocUnknownLanguage = 9,
};

// One-line summary of a code, "unknown error" for codes not in the table.
const char* LocaleErrorSummary(int code);

// Bit of LocOpenCat's flag: when the requested language is known but has no
// catalog file, open the default language's catalog instead of failing with 8.
constexpr int kLocFlagFallBackToDefault = 1;
constexpr int kMaxOpenCatalogs = 64;
constexpr std::size_t kMaxCatalogBytes = 1 << 20;

enum class ReadStatus { kOk, kNotFound, kUnreadable, kTooLarge };
using FileReader = std::function<ReadStatus(const std::string& path, std::string& bytes)>;

// "<directory>Locale\<language>\<catalogFile>"; a missing final separator
// after directory is added.
std::string CatalogPath(const std::string& directory, const std::string& language,
                        const std::string& catalogFile);

// Every call except LastError/LastErrorText sets the error state, to kLocOk on
// success. Not thread-safe by itself.
class CatalogStore {
 public:
  explicit CatalogStore(FileReader reader) : reader_(std::move(reader)) {}

  int Open(const char* catalogFile, const char* directory, const char* language, int flag,
           const char* defaultLanguage);
  const char* Get(int handle, int id, const char* defaultText);
  bool Close(int handle);

  int LastError() const { return error_; }
  const char* LastErrorText() const { return message_; }
  void SetError(int code, const std::string& detail) noexcept;

 private:
  using Texts = std::map<int, std::string>;

  int OpenPath(const std::string& path);
  int OpenLanguage(const char* catalogFile, const char* directory, const char* language, int flag,
                   const char* defaultLanguage);

  FileReader reader_;
  std::map<int, std::unique_ptr<Texts>> open_;
  int nextHandle_ = 1;
  int error_ = kLocOk;
  char message_[1024] = "no error";
};

}  // namespace ionsift::locale
