#include <gtest/gtest.h>

#include <set>
#include <string>

#include "shell/error_report.h"
#include "shell/string_table.h"
#include "tests/native/recording_host.h"

namespace ionsift {
namespace {

using testing::RecordingHost;

// A catalog that translates a few IDs and records the defaults it was given.
struct FakeCatalog {
    static inline std::vector<std::pair<int, std::string>> asked;
    static const char* IONSIFT_STDCALL GetCatStr(int catalog, int id, const char* fallback) {
        asked.emplace_back(id, fallback);
        if (catalog == 77 && id == 53) return "Hilfedatei nicht gefunden";
        if (catalog == 77 && id == 48) return "Ionsift-Fehler:";
        return fallback;
    }
};

class Strings : public ::testing::Test {
protected:
    void TearDown() override { TheLocaleLibrary() = LocaleLibrary(); }
    void OpenFakeCatalog() {
        FakeCatalog::asked.clear();
        TheLocaleLibrary().getCatStr = &FakeCatalog::GetCatStr;
        TheLocaleLibrary().catalog = 77;
    }
};

TEST_F(Strings, TableHoldsEachIdFromZeroToFiftyThreeOnceInOrder) {
    std::set<int> seen;
    for (int row = 0; row < kStringCount; ++row) {
        EXPECT_EQ(kStringTable[row].id, row);
        seen.insert(kStringTable[row].id);
    }
    EXPECT_EQ(seen.size(), 54u);
    EXPECT_EQ(std::string(DefaultString(46)), "Mass %.6lf \xB1 %.3lf ppm");
    EXPECT_EQ(std::string(DefaultString(49)), "Locale.dll error:\n%s");
}

TEST_F(Strings, WithoutCatalogTheBuiltInTextsAnswer) {
    EXPECT_STREQ(LocString(53), "Can't open the help file");
    EXPECT_STREQ(LocString(39), "Mass spectrometry tool");
    EXPECT_STREQ(LocString(0), "");
    EXPECT_STREQ(LocString(54), "Unknown localized string");
    EXPECT_STREQ(LocString(-1), "Unknown localized string");
}

TEST_F(Strings, CatalogTranslatesAndFallsBackToTheBuiltInDefault) {
    OpenFakeCatalog();
    EXPECT_STREQ(LocString(53), "Hilfedatei nicht gefunden");
    EXPECT_STREQ(LocString(52), "Out of memory");
    EXPECT_STREQ(LocString(54), "Unknown localized string");
    ASSERT_EQ(FakeCatalog::asked.size(), 3u);
    EXPECT_EQ(FakeCatalog::asked[0], std::make_pair(53, std::string("Can't open the help file")));
    EXPECT_EQ(FakeCatalog::asked[2], std::make_pair(54, std::string("Unknown localized string")));
}

TEST_F(Strings, ShowErrorSendsOneMessageBoxWithQuotedTextTitleAndStopStyle) {
    RecordingHost host;
    host.Respond([](const std::string&) { return RecordingHost::Answer{0, "1"}; });
    EXPECT_EQ(ShowError(52), 0);
    ASSERT_EQ(host.Commands().size(), 1u);
    EXPECT_EQ(host.Commands()[0], "messagebox \"Out of memory\" \"Ionsift error:\" 16");

    ShowError(49, "catalog line 3: missing tab");
    EXPECT_EQ(host.Commands()[1],
              "messagebox \"Locale.dll error:\ncatalog line 3: missing tab\" \"Ionsift error:\" 16");

    OpenFakeCatalog();
    ShowError(53);
    EXPECT_EQ(host.Commands()[2],
              "messagebox \"Hilfedatei nicht gefunden\" \"Ionsift-Fehler:\" 16");
}

TEST_F(Strings, HostMessageBoxAnswersTheDigitOfTheButton) {
    RecordingHost host;
    host.Respond([](const std::string&) { return RecordingHost::Answer{0, "6 yes"}; });
    EXPECT_EQ(HostMessageBox("Replace?", "Ionsift", 4), 6);
    EXPECT_EQ(host.Commands()[0], "messagebox \"Replace?\" \"Ionsift\" 4");
}

TEST_F(Strings, LongMessagesAreCutButTheCommandStaysWellFormed) {
    RecordingHost host;
    const std::string reason(600, 'r');
    ShowError(49, reason.c_str());
    const std::string& command = host.Commands().at(0);
    const std::string tail = "\" \"Ionsift error:\" 16";
    ASSERT_GE(command.size(), tail.size());
    EXPECT_EQ(command.substr(command.size() - tail.size()), tail);
    // The message itself is at most 255 characters.
    EXPECT_EQ(command.size(), std::string("messagebox \"").size() + 255 + tail.size());

    const std::string text(1000, 't');
    const std::string title(1000, 'T');
    const std::string framed = FormatMessageBoxCommand(text.c_str(), title.c_str(), 16);
    EXPECT_LE(framed.size(), kMessageCommandLimit);
    EXPECT_EQ(framed.compare(0, 12, "messagebox \""), 0);
    EXPECT_EQ(framed.substr(framed.size() - 4), "\" 16");
    EXPECT_NE(framed.find("\" \"TTT"), std::string::npos) << "the title keeps its quotes";
}

}  // namespace
}  // namespace ionsift
