// The real Ionsift.dll behind a recording host: exports and their calling
// conventions, the description record as bytes, localization at Init, the
// Call codes and what Free releases.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <map>
#include <string>

#include "tests/win/plugin_harness.h"

namespace ionsift::wintest {
namespace {

// --- a fake localization library -----------------------------------------

struct FakeLocale {
    static inline int openResult = 0;
    static inline int lastError = 0;
    static inline std::vector<std::string> openArgs;
    static inline std::vector<int> closed;

    static int __stdcall Open(const char* file, const char* dir, const char* language, int flag,
                              const char* fallback) {
        openArgs = {file, dir, language, std::to_string(flag), fallback};
        return openResult;
    }
    static const char* __stdcall Get(int catalog, int id, const char* fallback) {
        // Texts stay valid until the catalog closes, as the real library's do.
        static std::map<int, std::string> texts;
        return (texts[id] = "[" + std::to_string(id) + "] " + fallback).c_str();
    }
    static int __stdcall Err() { return lastError; }
    static int __stdcall ErrStr(char* buffer, int size) {
        return std::snprintf(buffer, size, "catalog line 9: missing tab");
    }
    static int __stdcall Close(int catalog) {
        closed.push_back(catalog);
        return 1;
    }
};

// Hands out the fake functions, with a real module so that Free's unload
// can be observed.
short FakeLoader(const std::string& library, void** module,
                 std::vector<std::pair<void**, std::string>>& slots) {
    *module = LoadLibraryA((StageDirectory() + library).c_str());
    for (auto& [slot, name] : slots) {
        if (name == "LocOpenCat") *slot = reinterpret_cast<void*>(&FakeLocale::Open);
        if (name == "LocGetCatStr") *slot = reinterpret_cast<void*>(&FakeLocale::Get);
        if (name == "LocGetErr") *slot = reinterpret_cast<void*>(&FakeLocale::Err);
        if (name == "LocGetErrStr") *slot = reinterpret_cast<void*>(&FakeLocale::ErrStr);
        if (name == "LocCloseCat") *slot = reinterpret_cast<void*>(&FakeLocale::Close);
    }
    return *module ? 1 : 0;
}

// Resolves the real stand-in library from the staged host folder.
short RealLoader(const std::string& library, void** module,
                 std::vector<std::pair<void**, std::string>>& slots) {
    HMODULE loaded = LoadLibraryA((StageDirectory() + library).c_str());
    if (!loaded) return 0;
    for (auto& [slot, name] : slots) {
        *slot = reinterpret_cast<void*>(GetProcAddress(loaded, name.c_str()));
        if (!*slot) {
            FreeLibrary(loaded);
            return 0;
        }
    }
    *module = loaded;
    return 1;
}

HostAnswer AnswerLanguage(const std::string& language, const std::string& command) {
    if (command == "Get PrfLang") return {0, language};
    if (command.rfind("messagebox ", 0) == 0) return {0, "1"};
    return {1, "not served"};
}

class PluginSpine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(plugin_.Loaded()) << "Ionsift.dll not found in " << StageDirectory();
        FakeLocale::openResult = 0;
        FakeLocale::lastError = 0;
        FakeLocale::openArgs.clear();
        FakeLocale::closed.clear();
    }
    RecordingHost host_;
    Plugin plugin_;
};

// Calls fn with one or two int arguments pushed and returns how many argument
// bytes the callee removed from the stack: all of them for stdcall, none for
// cdecl. ESI keeps the stack pointer across the call (callees preserve it).
extern "C" int ArgBytesRemovedByCallee(void* fn, int first, int second, int count);
asm(".globl _ArgBytesRemovedByCallee\n"
    "_ArgBytesRemovedByCallee:\n"
    "  pushl %ebp\n  movl %esp, %ebp\n  pushl %esi\n  pushl %ebx\n  pushl %edi\n"
    "  movl %esp, %esi\n"
    "  cmpl $2, 20(%ebp)\n  jne 1f\n  pushl 16(%ebp)\n1:\n"
    "  pushl 12(%ebp)\n"
    "  call *8(%ebp)\n"
    "  movl %esi, %eax\n  subl %esp, %eax\n"
    "  movl %esi, %esp\n"
    "  movl 20(%ebp), %ecx\n  shll $2, %ecx\n  subl %eax, %ecx\n  movl %ecx, %eax\n"
    "  popl %edi\n  popl %ebx\n  popl %esi\n  popl %ebp\n  ret\n");

TEST_F(PluginSpine, ExportsPlainNamesWithTheStandardCallingConvention) {
    HMODULE dll = plugin_.Module();
    void* init = reinterpret_cast<void*>(GetProcAddress(dll, "Init"));
    void* call = reinterpret_cast<void*>(GetProcAddress(dll, "Call"));
    ASSERT_NE(init, nullptr);
    ASSERT_NE(call, nullptr);
    ASSERT_NE(GetProcAddress(dll, "Free"), nullptr);
    EXPECT_EQ(GetProcAddress(dll, "Init@4"), nullptr);
    EXPECT_EQ(GetProcAddress(dll, "_Init@4"), nullptr);

    EXPECT_EQ(ArgBytesRemovedByCallee(init, reinterpret_cast<int>(&host_.Context()), 0, 1), 4);
    EXPECT_EQ(ArgBytesRemovedByCallee(call, 0x7FFF0000 | 100, 0, 2), 8);
    plugin_.Free();
}

TEST_F(PluginSpine, DescriptionRecordHasItsPinnedBytes) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(plugin_.Init(host_.Context()));
    ASSERT_NE(bytes, nullptr);
    auto i32 = [](const unsigned char* p) { int v; std::memcpy(&v, p, 4); return v; };
    auto i16 = [](const unsigned char* p) { short v; std::memcpy(&v, p, 2); return v; };
    auto text = [&](const unsigned char* p) { return *reinterpret_cast<const char* const*>(p); };

    EXPECT_EQ(i32(bytes + 0), 1);
    EXPECT_EQ(i16(bytes + 4), 2);
    EXPECT_EQ(i16(bytes + 6), 3);
    EXPECT_EQ(i32(bytes + 8), 0);
    EXPECT_STREQ(text(bytes + 12), "Ionsift");
    EXPECT_STREQ(text(bytes + 16), "Brannoc");

    const auto* entries = *reinterpret_cast<const unsigned char* const*>(bytes + 20);
    struct Expected {
        const char* caption;
        int value4, value12, value16, request;
        bool image;
    };
    const Expected expected[] = {
        {"About Ionsift", 5, 1, 255, 1, true},
        {"Mass spectrometry tool", 4, 1, 255, 101, true},
        {nullptr, 0, 1, 255, 3, false},
    };
    for (int i = 0; i < 3; ++i) {
        const unsigned char* e = entries + 24 * i;
        SCOPED_TRACE("entry " + std::to_string(i));
        if (expected[i].caption) {
            EXPECT_STREQ(text(e), expected[i].caption);
        } else {
            EXPECT_EQ(text(e), nullptr);
        }
        EXPECT_EQ(i32(e + 4), expected[i].value4);
        EXPECT_EQ(i32(e + 12), expected[i].value12);
        EXPECT_EQ(i32(e + 16), expected[i].value16);
        EXPECT_EQ(i32(e + 20), expected[i].request);
        const HGDIOBJ image = *reinterpret_cast<const HGDIOBJ*>(e + 8);
        EXPECT_EQ(image != nullptr, expected[i].image);
        if (image) {
            EXPECT_EQ(GetObjectType(image), static_cast<DWORD>(OBJ_BITMAP));
        }
    }
    EXPECT_EQ(*reinterpret_cast<void* const*>(entries + 8), *reinterpret_cast<void* const*>(entries + 24 + 8))
        << "both entries share one menu image";
    for (int b = 0; b < 24; ++b) EXPECT_EQ(entries[72 + b], 0) << "terminating entry byte " << b;

    BITMAP menuImage{};
    GetObjectA(*reinterpret_cast<HGDIOBJ const*>(entries + 8), sizeof menuImage, &menuImage);
    EXPECT_EQ(menuImage.bmWidth, 16);
    EXPECT_EQ(menuImage.bmHeight, 16);
    plugin_.Free();
}

TEST_F(PluginSpine, WithoutLocalizationLibraryNothingIsAskedAndTextsAreEnglish) {
    PluginRecord* record = plugin_.Init(host_.Context());
    ASSERT_EQ(host_.LoaderCalls().size(), 1u);
    EXPECT_EQ(host_.LoaderCalls()[0],
              "locale.dll LocCloseCat LocGetCatStr LocGetErr LocGetErrStr LocOpenCat");
    EXPECT_TRUE(host_.Commands().empty()) << "no Get PrfLang when the loader fails";
    EXPECT_STREQ(record->entries[0].caption, "About Ionsift");
    EXPECT_STREQ(record->entries[1].caption, "Mass spectrometry tool");
    plugin_.Free();
}

TEST_F(PluginSpine, CatalogIsOpenedInTheHostsLanguageAndTranslatesTheCaptions) {
    FakeLocale::openResult = 31;
    host_.SetLoader(&FakeLoader);
    host_.Respond([](const std::string& c) { return AnswerLanguage("french", c); });
    PluginRecord* record = plugin_.Init(host_.Context());

    EXPECT_EQ(host_.Commands(), std::vector<std::string>{"Get PrfLang"});
    EXPECT_EQ(FakeLocale::openArgs, (std::vector<std::string>{"RADURUR.evidodi", StageDirectory(),
                                                              "french", "1", "english"}));
    EXPECT_STREQ(record->entries[0].caption, "[50] About Ionsift");
    EXPECT_STREQ(record->entries[1].caption, "[39] Mass spectrometry tool");

    plugin_.Free();
    EXPECT_EQ(FakeLocale::closed, std::vector<int>{31});
    EXPECT_EQ(GetModuleHandleA((StageDirectory() + "locale.dll").c_str()), nullptr)
        << "Free unloads the localization library";
}

class LocaleFaults : public PluginSpine, public ::testing::WithParamInterface<int> {};

TEST_P(LocaleFaults, OnlyRealLocaleFaultsAreShown) {
    const int code = GetParam();
    host_.SetLoader(&FakeLoader);
    FakeLocale::lastError = code;
    PluginRecord* record = plugin_.Init(host_.Context());
    const auto boxes = host_.CommandsStartingWith("messagebox ");
    if (code == 0 || code == 8 || code == 9) {
        EXPECT_TRUE(boxes.empty());
    } else {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "messagebox \"Locale.dll error:\ncatalog line 9: missing tab\" "
                            "\"Ionsift error:\" 16");
    }
    EXPECT_STREQ(record->entries[1].caption, "Mass spectrometry tool");
    plugin_.Free();
}

INSTANTIATE_TEST_SUITE_P(Codes, LocaleFaults, ::testing::Values(0, 8, 9, 3, 1));

TEST_F(PluginSpine, StagedGermanCatalogGivesGermanCaptions) {
    host_.SetLoader(&RealLoader);
    host_.Respond([](const std::string& c) { return AnswerLanguage("german", c); });
    PluginRecord* record = plugin_.Init(host_.Context());
    EXPECT_TRUE(host_.CommandsStartingWith("messagebox").empty());
    ASSERT_NE(record->entries[0].caption, nullptr);
    EXPECT_STRNE(record->entries[0].caption, "About Ionsift");
    EXPECT_STRNE(record->entries[1].caption, "Mass spectrometry tool");
    EXPECT_NE(std::string(record->entries[0].caption).find("Ionsift"), std::string::npos);
    plugin_.Free();
}

TEST_F(PluginSpine, CallAnswersOneForEveryCodeAndOnlyHelpActs) {
    plugin_.Init(host_.Context());
    for (int code : {0, 2, 100, 101, 0x10000 | 2, -5}) {
        EXPECT_EQ(plugin_.Call(code), 1) << "code " << code;
    }
    EXPECT_TRUE(host_.Commands().empty());
    plugin_.Free();
    EXPECT_TRUE(host_.Commands().empty()) << "Free after no request sends nothing";
}

TEST_F(PluginSpine, HelpWithoutPageShowsTheHelpError) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::snprintf(host_.Context().hostDirectory, sizeof host_.Context().hostDirectory,
                  "%sionsift-no-help-%lu\\", folder, GetCurrentProcessId());
    plugin_.Init(host_.Context());
    EXPECT_EQ(plugin_.Call(3), 1);
    EXPECT_EQ(host_.Commands(), std::vector<std::string>{
                                    "messagebox \"Can't open the help file\" \"Ionsift error:\" 16"});
    plugin_.Free();
}

TEST_F(PluginSpine, HelpWithThePageStagedShowsNoError) {
    // The staged host folder holds Docs\Html\ionsift\index.htm.
    plugin_.Init(host_.Context());
    EXPECT_EQ(plugin_.Call(3), 1);
    EXPECT_TRUE(host_.CommandsStartingWith("messagebox").empty());
    plugin_.Free();
}

TEST_F(PluginSpine, FreeReleasesTheBitmapsAndCatalog) {
    FakeLocale::openResult = 12;
    host_.SetLoader(&FakeLoader);
    PluginRecord* record = plugin_.Init(host_.Context());
    const HGDIOBJ image = static_cast<HGDIOBJ>(record->entries[0].image);
    ASSERT_EQ(GetObjectType(image), static_cast<DWORD>(OBJ_BITMAP));
    const size_t sentBeforeFree = host_.Commands().size();
    EXPECT_EQ(plugin_.Free(), 1);
    EXPECT_EQ(GetObjectType(image), 0u) << "the menu image is deleted";
    EXPECT_EQ(FakeLocale::closed, std::vector<int>{12});
    EXPECT_EQ(host_.Commands().size(), sentBeforeFree);
}

}  // namespace
}  // namespace ionsift::wintest
