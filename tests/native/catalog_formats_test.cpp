// Translated texts that are printf formats: a catalog text is used as one only
// when it reads the arguments the built-in text reads; otherwise the built-in
// text is shown, so no translation makes printf read what was never passed.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "shell/error_report.h"
#include "shell/format_arguments.h"
#include "shell/string_table.h"
#include "tests/native/recording_host.h"

namespace ionsift {
namespace {

using testing::RecordingHost;

// A catalog holding the texts of `texts`, the default for every other ID.
struct Catalog {
    static inline std::map<int, std::string> texts;
    static const char* IONSIFT_STDCALL GetCatStr(int, int id, const char* fallback) {
        const auto found = texts.find(id);
        return found == texts.end() ? fallback : found->second.c_str();
    }
    explicit Catalog(std::map<int, std::string> translated) {
        texts = std::move(translated);
        TheLocaleLibrary().getCatStr = &GetCatStr;
        TheLocaleLibrary().catalog = 1;
    }
    ~Catalog() { TheLocaleLibrary() = LocaleLibrary(); }
};

TEST(FormatArguments, OneLetterPerArgumentNothingForWhatPrintfWouldMisread) {
    const struct {
        const char* format;
        std::optional<std::string> arguments;
    } rows[] = {
        {"Out of memory", ""},
        {"100%% sure", ""},
        {"Locale.dll error:\n%s", "s"},
        {"Mass %.6lf \xB1 %.3lf ppm", "ff"},
        {"%-+ #012.3e %g %G %a", "ffff"},
        {"%*.*f", "iif"},
        {"%d %u %x %c %hd", "iiiii"},
        {"%ld %lld %I64d %zu %p %ls %Lf", "lqqzpSF"},
        {"%n", std::nullopt},          // writes
        {"%1$s", std::nullopt},        // argument numbers
        {"odd %", std::nullopt},
        {"%y", std::nullopt},
        {"%hf", std::nullopt},
        {"%255.255G", "f"},
        {"%.887888718G", std::nullopt},  // printf would allocate gigabytes
        {"%256d", std::nullopt},
    };
    for (const auto& row : rows) EXPECT_EQ(FormatArguments(row.format), row.arguments) << row.format;
    EXPECT_EQ(FormatArguments(nullptr), std::nullopt);
}

TEST(CatalogFormats, ShowErrorUsesATranslationOnlyWhenItReadsWhatTheBuiltInTextReads) {
    const struct {
        int id;
        const char* translation;
        const char* shown;
    } rows[] = {
        {52, "Kein Speicher", "Kein Speicher"},
        {52, "Kein Speicher (%d)", "Out of memory"},
        {51, "Schreibfehler %x%x%x", "Can't write the file"},
        {47, "Excel-Treiber %d", "Excel driver initialization failed"},
        {49, "Locale-Fehler:\n%s", "Locale-Fehler:\nline 3"},
        {49, "Locale-Fehler: %s %d", "Locale.dll error:\nline 3"},
        {49, "Locale-Fehler", "Locale.dll error:\nline 3"},  // reads less: another format too
    };
    for (const auto& row : rows) {
        const Catalog catalog({{row.id, row.translation}});
        RecordingHost host;
        host.Respond([](const std::string&) { return RecordingHost::Answer{0, "1"}; });
        ShowError(row.id, "line 3");
        ASSERT_EQ(host.Commands().size(), 1u);
        EXPECT_EQ(host.Commands()[0], std::string("messagebox \"") + row.shown + "\" \"Ionsift error:\" 16")
            << row.translation;
    }
}

TEST(CatalogFormats, TheSheetNameTakesATranslationWithTwoRealConversionsOnly) {
    const struct {
        const char* translation;
        const char* used;
    } rows[] = {
        {"Masse %8.3f \xB1 %g ppm", "Masse %8.3f \xB1 %g ppm"},
        {"Masse %.3f", "Mass %.6lf \xB1 %.3lf ppm"},
        {"%s %.6lf %.3lf", "Mass %.6lf \xB1 %.3lf ppm"},
    };
    for (const auto& row : rows) {
        const Catalog catalog({{46, row.translation}});
        EXPECT_STREQ(LocFormat(46), row.used) << row.translation;
    }
}

}  // namespace
}  // namespace ionsift
