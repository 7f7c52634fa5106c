// Start-up of localization: the loader call, the language question, the
// catalog open and which locale faults reach the user.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "shell/localization.h"
#include "shell/string_table.h"
#include "tests/native/recording_host.h"

namespace ionsift {
namespace {

using testing::RecordingHost;

// The fake localization library and what the plug-in asked of it.
struct FakeLocale {
    static inline short loaderResult = 1;
    static inline int openResult = 0;
    static inline int lastError = 0;
    static inline std::string library;
    static inline std::vector<std::string> names;
    static inline std::vector<std::string> openArgs;
    static inline int closed = 0;
    static inline int errStrSize = 0;
    static inline int module = 0;

    static void Reset(short loader, int open, int error) {
        loaderResult = loader;
        openResult = open;
        lastError = error;
        library.clear();
        names.clear();
        openArgs.clear();
        closed = 0;
        errStrSize = 0;
    }
    static int IONSIFT_STDCALL Open(const char* file, const char* dir, const char* language,
                                    int flag, const char* fallback) {
        openArgs = {file, dir, language, std::to_string(flag), fallback};
        return openResult;
    }
    static const char* IONSIFT_STDCALL Get(int, int, const char* fallback) { return fallback; }
    static int IONSIFT_STDCALL Err() { return lastError; }
    static int IONSIFT_STDCALL ErrStr(char* buffer, int size) {
        errStrSize = size;
        std::snprintf(buffer, static_cast<std::size_t>(size), "bad catalog line 4");
        return static_cast<int>(std::strlen(buffer));
    }
    static int IONSIFT_STDCALL Close(int) { return ++closed; }

    static short IONSIFT_CDECL Loader(const char* name, void** moduleSlot, ...) {
        library = name;
        *moduleSlot = &module;
        std::va_list args;
        va_start(args, moduleSlot);
        while (void** slot = va_arg(args, void**)) {
            const std::string symbol = va_arg(args, const char*);
            names.push_back(symbol);
            if (symbol == "LocOpenCat") *slot = reinterpret_cast<void*>(&Open);
            if (symbol == "LocGetCatStr") *slot = reinterpret_cast<void*>(&Get);
            if (symbol == "LocGetErr") *slot = reinterpret_cast<void*>(&Err);
            if (symbol == "LocGetErrStr") *slot = reinterpret_cast<void*>(&ErrStr);
            if (symbol == "LocCloseCat") *slot = reinterpret_cast<void*>(&Close);
        }
        va_end(args);
        return loaderResult;
    }
};

class Localization : public ::testing::Test {
protected:
    void Start(short loader, int open, int error) {
        FakeLocale::Reset(loader, open, error);
        TheLocaleLibrary() = LocaleLibrary();
        host_.reset();
        host_ = std::make_unique<RecordingHost>();
        host_->Context().loadLibrary = &FakeLocale::Loader;
        host_->Respond([](const std::string& command) {
            if (command == "Get PrfLang") return RecordingHost::Answer{0, "german"};
            return RecordingHost::Answer{0, "1"};
        });
        OpenHostCatalog();
    }
    void TearDown() override { TheLocaleLibrary() = LocaleLibrary(); }
    const std::vector<std::string>& Sent() const { return host_->Commands(); }
    std::unique_ptr<RecordingHost> host_;
};

TEST_F(Localization, LoaderGetsTheFiveNamesInOrderThenTheLanguageOpensTheCatalog) {
    Start(1, 42, 0);
    EXPECT_EQ(FakeLocale::library, "locale.dll");
    EXPECT_EQ(FakeLocale::names, (std::vector<std::string>{"LocCloseCat", "LocGetCatStr",
                                                           "LocGetErr", "LocGetErrStr",
                                                           "LocOpenCat"}));
    EXPECT_EQ(Sent(), std::vector<std::string>{"Get PrfLang"});
    EXPECT_EQ(FakeLocale::openArgs, (std::vector<std::string>{"RADURUR.evidodi", "C:\\Host\\",
                                                              "german", "1", "english"}));
    EXPECT_EQ(TheLocaleLibrary().catalog, 42);
}

TEST_F(Localization, FailedLoaderMeansNoLanguageQuestionAndBuiltInTexts) {
    for (short result : {short(0), short(2), short(-1)}) {
        Start(result, 42, 0);
        EXPECT_TRUE(Sent().empty()) << "loader result " << result;
        EXPECT_TRUE(FakeLocale::openArgs.empty());
        EXPECT_EQ(TheLocaleLibrary().catalog, 0);
        EXPECT_STREQ(LocString(39), "Mass spectrometry tool");
    }
}

TEST_F(Localization, ExpectedLocaleConditionsStaySilentOthersAreShown) {
    for (int code : {0, 8, 9}) {
        Start(1, 0, code);
        EXPECT_EQ(Sent().size(), 1u) << "code " << code << " must show nothing";
    }
    Start(1, 0, 3);
    ASSERT_EQ(Sent().size(), 2u);
    EXPECT_EQ(Sent()[1],
              "messagebox \"Locale.dll error:\nbad catalog line 4\" \"Ionsift error:\" 16");
    EXPECT_EQ(FakeLocale::errStrSize, 256);
}

TEST_F(Localization, ClosingReleasesTheCatalogAndHandsBackTheModule) {
    Start(1, 42, 0);
    EXPECT_EQ(CloseHostCatalog(), static_cast<void*>(&FakeLocale::module));
    EXPECT_EQ(FakeLocale::closed, 1);
    EXPECT_EQ(TheLocaleLibrary().catalog, 0);

    Start(1, 0, 8);  // no catalog: nothing to close, the library still goes
    EXPECT_EQ(CloseHostCatalog(), static_cast<void*>(&FakeLocale::module));
    EXPECT_EQ(FakeLocale::closed, 0);
}

}  // namespace
}  // namespace ionsift
