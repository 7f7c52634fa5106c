// The texts of the ion search: built-in English defaults from ID 55 on, and
// the same IDs in the English, German and French catalogs the build ships.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "host/locale/catalog.h"
#include "shell/string_table.h"

#ifndef IONSIFT_LOCALE_CATALOG_DIR
#error "IONSIFT_LOCALE_CATALOG_DIR must name the folder of the converted catalogs"
#endif

namespace ionsift {
namespace {

locale::ParsedCatalog LoadIons(const std::string& language) {
    const std::string path = std::string(IONSIFT_LOCALE_CATALOG_DIR) + "/" + language + "-ions.txt";
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    locale::ParsedCatalog parsed = locale::ParseCatalog(bytes.data(), bytes.size());
    EXPECT_TRUE(parsed.ok()) << path;
    return parsed;
}

long Ampersands(const std::string& text) { return std::count(text.begin(), text.end(), '&'); }

TEST(IonStrings, FollowTheOriginalFiftyFourAndEveryCatalogTranslatesEach) {
    EXPECT_STREQ(DefaultString(54), kUnknownString);
    EXPECT_STREQ(DefaultString(55), "M (neutral)");
    EXPECT_STREQ(DefaultString(61), "Copy &table");
    const locale::ParsedCatalog english = LoadIons("english");
    for (int row = 0; row < kExtensionStringCount; ++row) {
        const StringRow& text = kExtensionStrings[row];
        EXPECT_EQ(text.id, 55 + row);
        ASSERT_EQ(english.texts.count(text.id), 1u) << text.id;
        EXPECT_EQ(english.texts.at(text.id), text.text);
    }
    for (const char* language : {"german", "french"}) {
        const locale::ParsedCatalog translated = LoadIons(language);
        EXPECT_EQ(translated.texts.size(), english.texts.size()) << language;
        for (const auto& [id, text] : english.texts) {
            ASSERT_EQ(translated.texts.count(id), 1u) << language << " " << id;
            EXPECT_EQ(Ampersands(translated.texts.at(id)), Ampersands(text)) << language << " " << id;
        }
    }
}

}  // namespace
}  // namespace ionsift
