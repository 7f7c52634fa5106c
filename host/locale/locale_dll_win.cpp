// locale.dll: the host's localization library. Win32 file reading and the
// stdcall exports around the portable catalog store.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <type_traits>

#include "host/locale/catalog_store.h"
#include "shell/locale_api.h"

namespace {

using ionsift::locale::CatalogStore;
using ionsift::locale::ReadStatus;

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
               ? ReadStatus::kNotFound
               : ReadStatus::kUnreadable;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return ReadStatus::kUnreadable;
  if (size.QuadPart > static_cast<LONGLONG>(ionsift::locale::kMaxCatalogBytes)) {
    return ReadStatus::kTooLarge;
  }
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD done = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &done, nullptr) ||
       done != bytes.size())) {
    return ReadStatus::kUnreadable;
  }
  return ReadStatus::kOk;
}

std::mutex& StoreLock() {
  static std::mutex lock;
  return lock;
}

CatalogStore& Store() {
  static CatalogStore store(ReadWholeFile);
  return store;
}

void RecordUnexpected() noexcept {
  Store().SetError(ionsift::locale::kLocOutOfMemory, "");
}

// No exception may reach the host: a failure inside becomes the export's
// fallback result. The host may call from more than one thread, so every
// export holds the store's lock.
template <typename Result, typename Body>
Result Guarded(Result fallback, Body body) noexcept {
  try {
    std::lock_guard<std::mutex> guard(StoreLock());
    try {
      return body();
    } catch (...) {
      RecordUnexpected();
    }
  } catch (...) {
  }
  return fallback;
}

}  // namespace

extern "C" {

int WINAPI LocOpenCat(const char* catalogFile, const char* directory, const char* language,
                      int flag, const char* defaultLanguage) {
  return Guarded(0, [&] {
    return Store().Open(catalogFile, directory, language, flag, defaultLanguage);
  });
}

const char* WINAPI LocGetCatStr(int catalog, int id, const char* defaultText) {
  return Guarded(defaultText, [&] { return Store().Get(catalog, id, defaultText); });
}

int WINAPI LocGetErr(void) {
  return Guarded(static_cast<int>(ionsift::locale::kLocOutOfMemory),
                 [] { return Store().LastError(); });
}

int WINAPI LocGetErrStr(char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  return Guarded(0, [&] {
    const char* text = Store().LastErrorText();
    const std::size_t length = std::min(std::strlen(text), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
  });
}

int WINAPI LocCloseCat(int catalog) {
  return Guarded(0, [&] { return Store().Close(catalog) ? 1 : 0; });
}

}  // extern "C"

// The exports must keep the exact types the plug-in resolves them as.
static_assert(std::is_same_v<decltype(&LocOpenCat), ionsift::LocOpenCatFn>);
static_assert(std::is_same_v<decltype(&LocGetCatStr), ionsift::LocGetCatStrFn>);
static_assert(std::is_same_v<decltype(&LocGetErr), ionsift::LocGetErrFn>);
static_assert(std::is_same_v<decltype(&LocGetErrStr), ionsift::LocGetErrStrFn>);
static_assert(std::is_same_v<decltype(&LocCloseCat), ionsift::LocCloseCatFn>);
