// The real locale.dll, loaded the way the host loads it, with catalogs from
// the staged host folder and from a scratch folder made per test.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/locale/catalog_store.h"
#include "shell/locale_api.h"

#ifndef IONSIFT_STAGE_DIR_WIN
#error "IONSIFT_STAGE_DIR_WIN must name the staged host folder"
#endif

namespace {

using namespace ionsift;

class Library {
 public:
  Library() : module_(LoadLibraryA(IONSIFT_STAGE_DIR_WIN "\\locale.dll")) {}
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  template <typename Fn>
  Fn Get(const char* name) const {
    return module_ ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
                   : nullptr;
  }
  bool loaded() const { return module_ != nullptr; }

 private:
  HMODULE module_;
};

// A host folder of its own under %TEMP%, removed with everything in it.
class ScratchHost {
 public:
  ScratchHost() {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    dir_ = std::string(temp) + "locale_dll_test_" + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(counter_++) + "\\";
    MakeDirectory(dir_);
  }
  ~ScratchHost() {
    for (auto it = files_.rbegin(); it != files_.rend(); ++it) DeleteFileA(it->c_str());
    for (auto it = dirs_.rbegin(); it != dirs_.rend(); ++it) RemoveDirectoryA(it->c_str());
  }
  ScratchHost(const ScratchHost&) = delete;
  ScratchHost& operator=(const ScratchHost&) = delete;

  const std::string& dir() const { return dir_; }

  std::string LanguageDir(const std::string& language) {
    MakeDirectory(dir_ + "Locale\\");
    const std::string path = dir_ + "Locale\\" + language + "\\";
    MakeDirectory(path);
    return path;
  }

  void Write(const std::string& language, const std::string& bytes) {
    const std::string path = LanguageDir(language) + "test.cat";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == bytes.size()) << path;
    files_.push_back(path);
  }

  void MakeDirectory(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) dirs_.push_back(path);
  }

 private:
  static inline int counter_ = 0;
  std::string dir_;
  std::vector<std::string> files_;
  std::vector<std::string> dirs_;
};

class LocaleDll : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library.loaded()) << "locale.dll not found in " IONSIFT_STAGE_DIR_WIN;
    ASSERT_TRUE(openCat && getCatStr && getErr && getErrStr && closeCat);
  }

  std::string ErrorText() {
    char buffer[512];
    getErrStr(buffer, sizeof buffer);
    return buffer;
  }

  int OpenScratch(const char* language, int flag) {
    return openCat("test.cat", host.dir().c_str(), language, flag, "english");
  }

  Library library;
  LocOpenCatFn openCat = library.Get<LocOpenCatFn>("LocOpenCat");
  LocGetCatStrFn getCatStr = library.Get<LocGetCatStrFn>("LocGetCatStr");
  LocGetErrFn getErr = library.Get<LocGetErrFn>("LocGetErr");
  LocGetErrStrFn getErrStr = library.Get<LocGetErrStrFn>("LocGetErrStr");
  LocCloseCatFn closeCat = library.Get<LocCloseCatFn>("LocCloseCat");
  ScratchHost host;
};

TEST_F(LocaleDll, StagedGermanCatalogGivesGermanTexts) {
  const int catalog = openCat(kCatalogFileName, IONSIFT_STAGE_DIR_WIN "\\", "german", 1,
                              kDefaultLanguage);
  ASSERT_NE(catalog, 0) << ErrorText();
  EXPECT_EQ(getErr(), kLocErrNone);
  EXPECT_STREQ(getCatStr(catalog, 24, "&Edit"), "&Bearbeiten");
  EXPECT_STREQ(getCatStr(catalog, 7, "About Ionsift"), "\xDC" "ber Ionsift");
  EXPECT_STREQ(getCatStr(catalog, 49, ""), "Fehler in Locale.dll:\n%s");
  EXPECT_EQ(closeCat(catalog), 1);
}

TEST_F(LocaleDll, KnownIdsComeFromTheCatalogOthersAreTheCallersDefault) {
  host.Write("german", "# test\r\n1\tEins\r\n2\tZwei\\tmit Tab\r\n");
  const int catalog = OpenScratch("GERMAN", 1);
  ASSERT_NE(catalog, 0) << ErrorText();
  EXPECT_STREQ(getCatStr(catalog, 2, "Two"), "Zwei\tmit Tab");
  const char* fallback = "Three";
  EXPECT_EQ(getCatStr(catalog, 3, fallback), fallback);
  EXPECT_EQ(getCatStr(catalog, -1, fallback), fallback);
  EXPECT_EQ(closeCat(catalog), 1);
}

TEST_F(LocaleDll, LanguageWithoutCatalogFailsOrFallsBackAsFlagged) {
  host.Write("english", "1\tOne\n");
  EXPECT_EQ(OpenScratch("french", 0), 0);
  EXPECT_EQ(getErr(), kLocErrNoCatalogForLanguage);
  EXPECT_NE(ErrorText().find("french"), std::string::npos) << ErrorText();

  const int catalog = OpenScratch("french", 1);
  ASSERT_NE(catalog, 0) << ErrorText();
  EXPECT_STREQ(getCatStr(catalog, 1, "?"), "One");
  EXPECT_EQ(closeCat(catalog), 1);
}

TEST_F(LocaleDll, UnknownLanguageIsReportedAsSuch) {
  host.Write("english", "1\tOne\n");
  EXPECT_EQ(OpenScratch("klingon", 1), 0);
  EXPECT_EQ(getErr(), kLocErrUnknownLanguage);
  EXPECT_NE(ErrorText().find("klingon"), std::string::npos) << ErrorText();
}

TEST_F(LocaleDll, MalformedCatalogIsAFaultWithFileAndLine) {
  host.Write("german", "1\tEins\n2 Zwei\n");
  EXPECT_EQ(OpenScratch("german", 1), 0);
  EXPECT_EQ(getErr(), locale::kLocMalformed);
  const std::string text = ErrorText();
  EXPECT_NE(text.find("Locale\\german\\test.cat line 2: missing tab after the string id"),
            std::string::npos)
      << text;
}

TEST_F(LocaleDll, UnreadableAndOversizedCatalogsAreFaults) {
  host.MakeDirectory(host.LanguageDir("german") + "test.cat");  // a folder, not a file
  EXPECT_EQ(OpenScratch("german", 1), 0);
  EXPECT_EQ(getErr(), locale::kLocUnreadable) << ErrorText();

  host.Write("french", "1\t" + std::string(locale::kMaxCatalogBytes, 'x') + "\n");
  EXPECT_EQ(OpenScratch("french", 1), 0);
  EXPECT_EQ(getErr(), locale::kLocTooLarge) << ErrorText();
}

TEST_F(LocaleDll, ErrorTextIsBoundedAndTerminated) {
  EXPECT_EQ(OpenScratch("klingon", 0), 0);
  const std::string full = ErrorText();
  ASSERT_GT(full.size(), 8u);

  char buffer[16];
  std::memset(buffer, 'X', sizeof buffer);
  EXPECT_EQ(getErrStr(buffer, 8), 7);
  EXPECT_EQ(std::string(buffer), full.substr(0, 7));
  EXPECT_EQ(buffer[8], 'X');

  std::memset(buffer, 'X', sizeof buffer);
  EXPECT_EQ(getErrStr(buffer, 1), 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(getErrStr(buffer, 0), 0);
  EXPECT_EQ(getErrStr(nullptr, 8), 0);
  EXPECT_EQ(getErr(), kLocErrUnknownLanguage);  // reading the error keeps it
}

TEST_F(LocaleDll, CatalogClosesOnceAndIsGoneAfterwards) {
  host.Write("english", "1\tOne\n");
  const int catalog = OpenScratch("english", 0);
  ASSERT_NE(catalog, 0) << ErrorText();
  EXPECT_EQ(closeCat(catalog), 1);
  EXPECT_EQ(getErr(), kLocErrNone);
  EXPECT_EQ(closeCat(catalog), 0);
  EXPECT_EQ(getErr(), locale::kLocBadHandle);
  const char* fallback = "One";
  EXPECT_EQ(getCatStr(catalog, 1, fallback), fallback);
  EXPECT_EQ(closeCat(0), 0);
}

}  // namespace
