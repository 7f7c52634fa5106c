// Catalog parser, language names, catalog store and the shipped catalogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/locale/catalog.h"
#include "host/locale/catalog_store.h"
#include "host/locale/languages.h"
#include "shell/locale_api.h"

#ifndef IONSIFT_LOCALE_CATALOG_DIR
#error "IONSIFT_LOCALE_CATALOG_DIR must name the folder of the converted catalogs"
#endif

namespace {

using namespace ionsift::locale;

ParsedCatalog Parse(const std::string& text) { return ParseCatalog(text.data(), text.size()); }

void ExpectFault(const std::string& text, CatalogFault fault, int line) {
  const ParsedCatalog parsed = Parse(text);
  EXPECT_EQ(parsed.error.fault, fault) << text;
  EXPECT_EQ(parsed.error.line, line) << text;
  EXPECT_TRUE(parsed.texts.empty()) << text;
}

TEST(CatalogParser, ReadsEntriesCommentsBlankLinesAndEscapes) {
  const ParsedCatalog parsed = Parse(
      "# comment\n"
      "\n"
      "   \t \n"
      "0\t\n"
      "7\tAbout\tIonsift\n"
      "12\tline\\nbreak \\t tab \\\\ backslash\n"
      "9999\t#not a comment\n"
      "0042\tleading zeros\xB1");
  ASSERT_TRUE(parsed.ok()) << DescribeCatalogError(parsed.error);
  const std::map<int, std::string> expected = {
      {0, ""},
      {7, "About\tIonsift"},
      {12, "line\nbreak \t tab \\ backslash"},
      {42, "leading zeros\xB1"},
      {9999, "#not a comment"},
  };
  EXPECT_EQ(parsed.texts, expected);
}

TEST(CatalogParser, AcceptsCrlfLineEnds) {
  const ParsedCatalog parsed = Parse("# c\r\n1\tone\r\n\r\n2\ttwo\r\n");
  ASSERT_TRUE(parsed.ok()) << DescribeCatalogError(parsed.error);
  EXPECT_EQ(parsed.texts, (std::map<int, std::string>{{1, "one"}, {2, "two"}}));
}

TEST(CatalogParser, ReportsFaultsWithTheirLineNumbers) {
  ExpectFault("1\ta\n2\tb\n1\tc\n", CatalogFault::kDuplicateId, 3);
  ExpectFault("1\ta\n\n2 b\n", CatalogFault::kMissingTab, 3);
  ExpectFault("1\ta\n2\n", CatalogFault::kMissingTab, 2);
  ExpectFault("10000\ttoo big\n", CatalogFault::kIdOutOfRange, 1);
  ExpectFault("1\ta\n99999999999999999999\tx\n", CatalogFault::kIdOutOfRange, 2);
  ExpectFault("1\ta\nx1\tb\n", CatalogFault::kIdNotNumeric, 2);
  ExpectFault("-1\ta\n", CatalogFault::kIdNotNumeric, 1);
  ExpectFault(" 1\ta\n", CatalogFault::kIdNotNumeric, 1);
  ExpectFault("1\ta\n2\tend\\\n", CatalogFault::kTruncatedEscape, 2);
  ExpectFault("1\ta\\qb\n", CatalogFault::kUnknownEscape, 1);
  ExpectFault("1\ta\rb\n", CatalogFault::kStrayCarriageReturn, 1);
  ExpectFault(std::string("1\ta\0b\n", 6), CatalogFault::kControlByte, 1);
  ExpectFault("\xEF\xBB\xBF" "1\ta\n", CatalogFault::kByteOrderMark, 1);
}

TEST(CatalogParser, RejectsCatalogsWithoutEntries) {
  ExpectFault("", CatalogFault::kNoEntries, 0);
  ExpectFault("# only a comment\n\n", CatalogFault::kNoEntries, 0);
}

TEST(CatalogParser, StopsAtTheGivenSize) {
  // The escape's second byte lies beyond the size handed in.
  const std::string buffer = "3\tabc\\n";
  const ParsedCatalog cut = ParseCatalog(buffer.data(), buffer.size() - 1);
  EXPECT_EQ(cut.error.fault, CatalogFault::kTruncatedEscape);
  const ParsedCatalog id = ParseCatalog(buffer.data(), 1);
  EXPECT_EQ(id.error.fault, CatalogFault::kMissingTab);
}

TEST(CatalogParser, DescribesFaults) {
  EXPECT_EQ(DescribeCatalogError({CatalogFault::kMissingTab, 12, 3}),
            "line 12: missing tab after the string id");
  EXPECT_EQ(DescribeCatalogError({CatalogFault::kDuplicateId, 4, 17}),
            "line 4: string id repeated (17)");
  EXPECT_EQ(DescribeCatalogError({CatalogFault::kNoEntries, 0, -1}), "the catalog holds no entries");
}

TEST(Languages, AcceptsNamesAndAliasesInAnyCase) {
  EXPECT_STREQ(CanonicalLanguage("german"), "german");
  EXPECT_STREQ(CanonicalLanguage("GERMAN"), "german");
  EXPECT_STREQ(CanonicalLanguage("Deutsch"), "german");
  EXPECT_STREQ(CanonicalLanguage("fr"), "french");
  EXPECT_STREQ(CanonicalLanguage("English"), "english");
  EXPECT_EQ(CanonicalLanguage("germa"), nullptr);
  EXPECT_EQ(CanonicalLanguage("germann"), nullptr);
  EXPECT_EQ(CanonicalLanguage(""), nullptr);
  EXPECT_EQ(CanonicalLanguage(nullptr), nullptr);
}

// A store over an in-memory folder; "UNREADABLE" content stands for a locked file.
class CatalogStoreTest : public ::testing::Test {
 protected:
  CatalogStore store{[this](const std::string& path, std::string& bytes) {
    const auto it = files.find(path);
    if (it == files.end()) return ReadStatus::kNotFound;
    if (it->second == "UNREADABLE") return ReadStatus::kUnreadable;
    bytes = it->second;
    return ReadStatus::kOk;
  }};
  std::map<std::string, std::string> files = {
      {"C:\\Host\\Locale\\english\\cat.x", "1\tOne\n"},
      {"C:\\Host\\Locale\\german\\cat.x", "1\tEins\n"},
  };
};

TEST_F(CatalogStoreTest, OpensTheRequestedLanguage) {
  const int handle = store.Open("cat.x", "C:\\Host\\", "Deutsch", 1, "english");
  ASSERT_NE(handle, 0) << store.LastErrorText();
  EXPECT_STREQ(store.Get(handle, 1, "One"), "Eins");
  const char* fallback = "default";
  EXPECT_EQ(store.Get(handle, 2, fallback), fallback);
  EXPECT_EQ(store.LastError(), kLocOk);
}

TEST_F(CatalogStoreTest, FallsBackToTheDefaultLanguageOnlyWhenAsked) {
  EXPECT_EQ(store.Open("cat.x", "C:\\Host", "french", 0, "english"), 0);
  EXPECT_EQ(store.LastError(), ionsift::kLocErrNoCatalogForLanguage);

  const int handle = store.Open("cat.x", "C:\\Host", "french", 1, "english");
  ASSERT_NE(handle, 0) << store.LastErrorText();
  EXPECT_STREQ(store.Get(handle, 1, ""), "One");

  files.erase("C:\\Host\\Locale\\english\\cat.x");
  EXPECT_EQ(store.Open("cat.x", "C:\\Host\\", "french", 1, "english"), 0);
  EXPECT_EQ(store.LastError(), ionsift::kLocErrNoCatalogForLanguage);
  EXPECT_NE(std::string(store.LastErrorText()).find("C:\\Host\\Locale\\french\\cat.x"),
            std::string::npos);
}

TEST_F(CatalogStoreTest, ReportsArgumentLanguageAndFileFaults) {
  EXPECT_EQ(store.Open("cat.x", "C:\\Host\\", "klingon", 1, "english"), 0);
  EXPECT_EQ(store.LastError(), ionsift::kLocErrUnknownLanguage);
  EXPECT_STREQ(store.LastErrorText(), "unknown language: 'klingon'");

  EXPECT_EQ(store.Open("cat.x", "C:\\Host\\", "french", 1, "klingon"), 0);
  EXPECT_EQ(store.LastError(), ionsift::kLocErrUnknownLanguage);

  EXPECT_EQ(store.Open("cat.x", "C:\\Host\\", "german", 2, "english"), 0);
  EXPECT_EQ(store.LastError(), kLocBadArgument);
  EXPECT_EQ(store.Open(nullptr, "C:\\Host\\", "german", 0, nullptr), 0);
  EXPECT_EQ(store.LastError(), kLocBadArgument);
  EXPECT_EQ(store.Open("cat.x", "C:\\Host\\", "german", 1, nullptr), 0);
  EXPECT_EQ(store.LastError(), kLocBadArgument);

  files["C:\\Host\\Locale\\german\\cat.x"] = "1\tEins\n2\tZwei\n1 Eins\n";
  EXPECT_EQ(store.Open("cat.x", "C:\\Host\\", "german", 1, "english"), 0);
  EXPECT_EQ(store.LastError(), kLocMalformed);
  EXPECT_STREQ(store.LastErrorText(),
               "malformed catalog: C:\\Host\\Locale\\german\\cat.x line 3: "
               "missing tab after the string id");

  // A broken catalog is a fault, never a reason to fall back silently.
  files["C:\\Host\\Locale\\german\\cat.x"] = "UNREADABLE";
  EXPECT_EQ(store.Open("cat.x", "C:\\Host\\", "german", 1, "english"), 0);
  EXPECT_EQ(store.LastError(), kLocUnreadable);
}

TEST_F(CatalogStoreTest, HandlesCloseOnceAndAreNotReused) {
  const int first = store.Open("cat.x", "C:\\Host\\", "english", 0, nullptr);
  const int second = store.Open("cat.x", "C:\\Host\\", "german", 0, nullptr);
  ASSERT_NE(first, 0);
  ASSERT_NE(second, 0);
  EXPECT_NE(first, second);
  const char* text = store.Get(second, 1, "");
  EXPECT_TRUE(store.Close(first));
  EXPECT_STREQ(text, "Eins");  // other catalogs' texts stay valid
  EXPECT_FALSE(store.Close(first));
  EXPECT_EQ(store.LastError(), kLocBadHandle);
  EXPECT_STREQ(store.Get(first, 1, "gone"), "gone");
  EXPECT_EQ(store.LastError(), kLocBadHandle);
  const int third = store.Open("cat.x", "C:\\Host\\", "english", 0, nullptr);
  EXPECT_NE(third, first);
}

TEST_F(CatalogStoreTest, LimitsOpenCatalogs) {
  for (int i = 0; i < kMaxOpenCatalogs; ++i) {
    ASSERT_NE(store.Open("cat.x", "C:\\Host\\", "english", 0, nullptr), 0) << i;
  }
  EXPECT_EQ(store.Open("cat.x", "C:\\Host\\", "english", 0, nullptr), 0);
  EXPECT_EQ(store.LastError(), kLocTooManyOpen);
}

// --- The shipped catalogs, as converted to Windows-1252 by the build ---

constexpr int kStringCount = 54;

ParsedCatalog LoadShipped(const std::string& language) {
  const std::string path = std::string(IONSIFT_LOCALE_CATALOG_DIR) + "/" + language + ".txt";
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ParsedCatalog parsed = ParseCatalog(bytes.data(), bytes.size());
  EXPECT_TRUE(parsed.ok()) << path << " " << DescribeCatalogError(parsed.error);
  return parsed;
}

// printf conversions in order. A "%" followed by a space is literal text
// ("probability % format"), so the space flag is not recognised.
std::vector<std::string> Conversions(const std::string& text) {
  std::vector<std::string> found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    std::size_t j = i + 1;
    while (j < text.size() && std::string("-+#0").find(text[j]) != std::string::npos) ++j;
    while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '.')) ++j;
    while (j < text.size() && std::string("hlL").find(text[j]) != std::string::npos) ++j;
    if (j < text.size() && std::string("diouxXeEfgGcsp%").find(text[j]) != std::string::npos) {
      found.push_back(text.substr(i, j - i + 1));
      i = j;
    }
  }
  return found;
}

int CountAmpersands(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '&'));
}

char Mnemonic(const std::string& text) {
  const std::size_t at = text.find('&');
  if (at == std::string::npos || at + 1 >= text.size()) return '\0';
  const unsigned char c = static_cast<unsigned char>(text[at + 1]);
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char>(c + 0x20);
  return static_cast<char>(c);
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, separator);) parts.push_back(part);
  return parts;
}

class ShippedCatalog : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedCatalog, HoldsEveryStringOnce) {
  const ParsedCatalog parsed = LoadShipped(GetParam());
  std::set<int> ids;
  for (const auto& entry : parsed.texts) ids.insert(entry.first);
  std::set<int> expected;
  for (int id = 0; id < kStringCount; ++id) expected.insert(id);
  EXPECT_EQ(ids, expected);  // duplicates are already parse faults
}

TEST_P(ShippedCatalog, KeepsFormatsMnemonicsAndFixedBytes) {
  const ParsedCatalog english = LoadShipped("english");
  const ParsedCatalog parsed = LoadShipped(GetParam());
  for (const auto& [id, text] : english.texts) {
    const auto it = parsed.texts.find(id);
    ASSERT_NE(it, parsed.texts.end()) << id;
    EXPECT_EQ(Conversions(it->second), Conversions(text)) << "string " << id;
    EXPECT_EQ(CountAmpersands(it->second), CountAmpersands(text)) << "string " << id;
  }
  EXPECT_NE(parsed.texts.at(46).find('\xB1'), std::string::npos);
  EXPECT_NE(parsed.texts.at(49).find('\n'), std::string::npos);

  const std::vector<std::string> filter = Split(parsed.texts.at(37), '|');
  ASSERT_EQ(filter.size(), 4u);
  EXPECT_EQ(filter[1], "*.csv");
  EXPECT_EQ(filter[3], "*.dif");
}

// The English defaults are given texts (they repeat "S" in the results popup);
// translations must not add collisions.
class Translation : public ::testing::TestWithParam<const char*> {};

TEST_P(Translation, MnemonicsAreUniqueWithinEachMenu) {
  const std::vector<std::vector<int>> menus = {
      {36, 34, 35, 40, 32, 31, 33}, {22, 23, 26}, {28, 29, 30}, {24, 27, 25}, {45, 41, 40, 43, 42, 44},
  };
  const ParsedCatalog parsed = LoadShipped(GetParam());
  for (const std::vector<int>& menu : menus) {
    std::map<char, int> used;
    for (int id : menu) {
      const char key = Mnemonic(parsed.texts.at(id));
      EXPECT_NE(key, '\0') << "string " << id;
      const auto [it, fresh] = used.emplace(key, id);
      EXPECT_TRUE(fresh) << "strings " << it->second << " and " << id << " share '" << key << "'";
    }
  }
}

TEST_P(ShippedCatalog, IsWindows1252NotUtf8) {
  const ParsedCatalog parsed = LoadShipped(GetParam());
  for (const auto& [id, text] : parsed.texts) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
      const unsigned char lead = static_cast<unsigned char>(text[i]);
      const unsigned char next = static_cast<unsigned char>(text[i + 1]);
      EXPECT_FALSE((lead == 0xC2 || lead == 0xC3) && next >= 0x80 && next <= 0xBF)
          << "UTF-8 sequence in string " << id;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedCatalog, ::testing::Values("english", "german", "french"));
INSTANTIATE_TEST_SUITE_P(Languages, Translation, ::testing::Values("german", "french"));

TEST(ShippedCatalogs, TranslationsUseSingleByteLetters) {
  EXPECT_EQ(LoadShipped("german").texts.at(7), "\xDC" "ber Ionsift");
  EXPECT_EQ(LoadShipped("french").texts.at(7), "\xC0 propos d'Ionsift");
  EXPECT_EQ(LoadShipped("english").texts.at(46), "Mass %.6lf \xB1 %.3lf ppm");
}

}  // namespace
