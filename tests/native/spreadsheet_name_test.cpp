// The worksheet name of the spreadsheet export: string 46 formatted with the
// search's mass and tolerance, the user's separator, then cut to 24.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "export/automation_error.h"
#include "export/sheet_name.h"
#include "shell/string_table.h"

namespace ionsift {
namespace {

constexpr int kSheetNameId = 46;

TEST(SheetName, TheSearchNameLosesItsUnitWhenCut) {
    // "Mass 180.063388 \xB1 2.000 ppm" is 28 characters: 5 + 10 + 3 + 5 + 4 + 1.
    const std::string full = FormatSheetName(DefaultString(kSheetNameId), 180.063388, 2, '.');
    EXPECT_EQ(full, "Mass 180.063388 \xB1 2.000 ppm");
    EXPECT_EQ(CutSheetName(full), "Mass 180.063388 \xB1 2.000 ");
    EXPECT_EQ(CutSheetName(FormatSheetName(DefaultString(kSheetNameId), 180.063388, 2, ',')),
              "Mass 180,063388 \xB1 2,000 ");
}

TEST(SheetName, CutKeepsUpToTwentyFourCharacters) {
    const std::string exactly24 = "abcdefghijklmnopqrstuvwx";
    ASSERT_EQ(exactly24.size(), 24u);
    EXPECT_EQ(CutSheetName(exactly24), exactly24);
    EXPECT_EQ(CutSheetName(exactly24 + "y"), exactly24);
    EXPECT_EQ(CutSheetName(""), "");
    // One byte is one character in the ANSI code page: "\xE9" stays whole.
    EXPECT_EQ(CutSheetName(std::string(23, 'a') + "\xE9\xE9"), std::string(23, 'a') + "\xE9");
}

TEST(SheetName, PointsComeFromTheFormatterNotTheCLocale) {
    // A host that set a comma locale for the C runtime must not change the name.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    const bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    const std::string name = FormatSheetName("Mass %.6lf \xB1 %.3lf ppm", 500, 0.5, '.');
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!comma) GTEST_SKIP() << "no German locale on this machine";
    EXPECT_EQ(name, "Mass 500.000000 \xB1 0.500 ppm");
}

TEST(SheetName, CatalogFormatsAreReadSafely) {
    // Each row: a translation's format, and what mass 12.5 and 3 ppm give.
    const struct {
        const char* format;
        const char* name;
    } rows[] = {
        {"Masse %.6lf \xB1 %.3lf ppm", "Masse 12,500000 \xB1 3,000 ppm"},
        {"%f/%lf", "12,500000/3,000000"},           // default precision
        {"%.0f ppm %.1lf", "12 ppm 3,0"},           // 12.5 rounds to even, as printf
        {"100%% %.2f", "100% 12,50"},
        {"%s %d %.3f %.3f %.3f", "%s %d 12,500 3,000 %,3f"},  // two values only
        {"odd %", "odd %"},
        {"a.b %.1f", "a,b 12,5"},  // every point of the result, as the window shows
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatSheetName(row.format, 12.5, 3, ','), row.name) << row.format;
    }
    EXPECT_EQ(FormatSheetName(nullptr, 1, 1, '.'), "");
}

// printf itself in the C locale, points made commas: the oracle for the table.
std::string CPrintf(const char* format, double mass, double ppm) {
    char text[128];
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
    std::snprintf(text, sizeof text, format, mass, ppm);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    std::string name = text;
    for (char& c : name) c = c == '.' ? ',' : c;
    return name;
}

TEST(SheetName, EveryConversionPrintfTakesADoubleForTakesTheNextValue) {
    // Mass 12.5 and 3 ppm, in the order the format gives them; expected texts
    // as printf in the C locale writes them, then the user's comma.
    const struct {
        const char* format;
        const char* name;
    } rows[] = {
        {"%8.3f ppm %.1lf", "  12,500 ppm 3,0"},
        {"%-8.1f|%+.0f", "12,5    |+3"},
        {"% f|%08.2f", " 12,500000|00003,00"},
        {"%#.0f|%.f", "12,|3"},
        {"%e|%.2E", "1,250000e+01|3,00E+00"},
        {"%g|%G", "12,5|3"},
        {"%.3g|%#g", "12,5|3,00000"},
        {"%10.2e|x", "  1,25e+01|x"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatSheetName(row.format, 12.5, 3, ','), row.name) << row.format;
        EXPECT_EQ(CPrintf(row.format, 12.5, 3), row.name) << "the table agrees with printf";
    }
    // Large and small values switch %g to the exponent form, as printf does.
    EXPECT_EQ(FormatSheetName("%g %g", 1234567, 0.00001, '.'), "1.23457e+06 1e-05");
    EXPECT_EQ(FormatSheetName("%g %g", 123456, 0.0001, '.'), "123456 0.0001");
    EXPECT_EQ(FormatSheetName("%+06.1f", -2.25, 0, '.'), "-002.2") << "ties to even, sign first";
}

TEST(AutomationErrorText, NamesTheStepTheCodeAndTheApplicationsText) {
    const AutomationError withText("Workbooks.Add", static_cast<std::int32_t>(0x80020009u), "no room");
    EXPECT_STREQ(withText.what(), "Workbooks.Add failed: 0x80020009 (no room)");
    EXPECT_EQ(withText.Code(), static_cast<std::int32_t>(0x80020009u));
    const AutomationError bare("CLSIDFromProgID(Excel.Application)", static_cast<std::int32_t>(0x800401F3u));
    EXPECT_STREQ(bare.what(), "CLSIDFromProgID(Excel.Application) failed: 0x800401F3");
}

}  // namespace
}  // namespace ionsift
