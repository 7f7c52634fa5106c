#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "host/app/command_table.h"
#include "host/app/host_language.h"
#include "host/app/host_options.h"
#include "host/app/plugin_menu_plan.h"
#include "tests/native/fake_host.h"

namespace ionsift::host {
namespace {

using test_support::FakeHost;

CommandResult ExecuteCommand(const std::string& line, FakeHost& host) {
    return CommandInterpreter(host).Execute(line);
}

TEST(HostCommands, MessageBoxAnswersTheButtonPressed) {
    FakeHost host;
    host.button = 7;  // IDNO
    const CommandResult r = ExecuteCommand("messagebox \"Keep \"it\"?\" \"Ionsift\" 4294967295", host);
    EXPECT_EQ(r.error, kCommandOk);
    EXPECT_EQ(r.answer, "7");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "Keep \"it\"?");
    EXPECT_EQ(host.boxes[0].title, "Ionsift");
    EXPECT_EQ(host.boxes[0].style, 4294967295u);
}

TEST(HostCommands, MessageBoxRejectsBadArgumentsWithoutShowing) {
    for (const char* line : {"messagebox", "messagebox \"t\" \"T\" 1x", "messagebox \"t\" \"T\" -1",
                             "messagebox \"t\" \"T\" 4294967296", "messagebox \"unterminated",
                             "messagebox \"a\" \"b\" 0 extra"}) {
        FakeHost host;
        const CommandResult r = ExecuteCommand(line, host);
        EXPECT_EQ(r.error, kCommandBadArguments) << line;
        EXPECT_EQ(r.answer.substr(0, 1), "0") << line;
        EXPECT_TRUE(host.boxes.empty()) << line;
    }
}

TEST(HostCommands, MessageBoxThatCannotBeShownIsAHostFailure) {
    FakeHost host;
    host.button = 0;
    const CommandResult r = ExecuteCommand("messagebox \"t\"", host);
    EXPECT_EQ(r.error, kCommandHostFailure);
    EXPECT_EQ(host.boxes.at(0).style, 0u);
}

TEST(HostCommands, GetPrfLangAnswersTheHostLanguage) {
    FakeHost host;
    const CommandResult r = ExecuteCommand("Get PrfLang", host);
    EXPECT_EQ(r.error, kCommandOk);
    EXPECT_EQ(r.answer, "french");
    EXPECT_EQ(ExecuteCommand("Get prflang", host).error, kCommandUnknown);
    EXPECT_EQ(ExecuteCommand("Get", host).error, kCommandUnknown);
}

TEST(HostCommands, CursorSwitchesBusyState) {
    FakeHost host;
    EXPECT_EQ(ExecuteCommand("Cursor Busy", host).error, kCommandOk);
    EXPECT_EQ(ExecuteCommand("Cursor Default", host).error, kCommandOk);
    EXPECT_EQ(ExecuteCommand("Cursor Wait", host).error, kCommandBadArguments);
    EXPECT_EQ(host.busyCalls, std::vector<bool>({true, false}));
}

TEST(HostCommands, CopyTextTakesEverythingBetweenTheOuterQuotes) {
    // What the plug-in's "Copy all" sends: lines, quotes and "%" unchanged.
    const std::string text = "Mass; Formula; Name\r\n180,063388; C6H12O6; \"glucose\" 5%\r\n";
    FakeHost host;
    const CommandResult r = ExecuteCommand("CopyText \"" + text + "\"", host);
    EXPECT_EQ(r.error, kCommandOk);
    EXPECT_EQ(r.answer, "");
    EXPECT_EQ(ExecuteCommand("CopyText \"\"", host).error, kCommandOk);
    EXPECT_EQ(ExecuteCommand("CopyText  \"a \"b\" c\" \r\n", host).error, kCommandOk);
    EXPECT_EQ(host.clipboard, std::vector<std::string>({text, "", "a \"b\" c"}));
}

TEST(HostCommands, CopyTextWithoutAQuotedTextCopiesNothing) {
    FakeHost host;
    for (const char* line : {"CopyText", "CopyText \"", "CopyText \"open", "CopyText bare",
                             "CopyText \"a\" trailing", "CopyText x\"a\""}) {
        const CommandResult r = ExecuteCommand(line, host);
        EXPECT_EQ(r.error, kCommandBadArguments) << line;
        EXPECT_EQ(r.answer.substr(0, 1), "0") << line;
    }
    EXPECT_TRUE(host.clipboard.empty());
}

TEST(HostCommands, ClipboardThatCannotBeOpenedIsAHostFailure) {
    FakeHost host;
    host.clipboardWorks = false;
    const CommandResult r = ExecuteCommand("CopyText \"x\"", host);
    EXPECT_EQ(r.error, kCommandHostFailure);
    EXPECT_EQ(r.answer, "0 clipboard: clipboard busy");
}

TEST(HostCommands, IsoDistAnswersMassAndAbundancePerLine) {
    FakeHost host;
    const CommandResult r = ExecuteCommand("IsoDist C6H12O6", host);
    ASSERT_EQ(r.error, kCommandOk);
    // Glucose's lightest cluster holds only the monoisotopic species, so its
    // centroid is the monoisotopic mass; it is also the tallest peak.
    EXPECT_EQ(r.answer.rfind("180.063388 100.000000\n", 0), 0u) << r.answer;
    // M+1 relative to M: 6 x 0.0107/0.9893 (13C) + 12 x 0.000115/0.999885 (2H)
    // + 6 x 0.00038/0.99757 (17O) = 6.856 %.
    double mass = 0, abundance = 0;
    ASSERT_EQ(std::sscanf(r.answer.c_str() + r.answer.find('\n') + 1, "%lf %lf", &mass, &abundance), 2);
    EXPECT_NEAR(mass, 181.0667, 0.001);
    EXPECT_NEAR(abundance, 6.856, 0.002);
    // Every line: six decimals, one blank, six decimals, a line feed.
    std::size_t begin = 0, lines = 0;
    for (std::size_t end; (end = r.answer.find('\n', begin)) != std::string::npos; begin = end + 1, ++lines) {
        const std::string line = r.answer.substr(begin, end - begin);
        const std::size_t blank = line.find(' ');
        ASSERT_NE(blank, std::string::npos) << line;
        EXPECT_EQ(line.find('.'), blank - 7) << line;
        EXPECT_EQ(line.rfind('.'), line.size() - 7) << line;
    }
    EXPECT_EQ(begin, r.answer.size());  // the last line ends with its line feed too
    EXPECT_GE(lines, 3u);
}

TEST(HostCommands, IsoDistIgnoresTheCLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
    FakeHost host;
    const std::string answer = ExecuteCommand("IsoDist H2O", host).answer;
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(answer.rfind("18.010565 100.000000\n", 0), 0u) << answer;
    EXPECT_EQ(answer.find(','), std::string::npos);
}

TEST(HostCommands, IsoDistRejectsBadFormulasWithTheParsersReason) {
    FakeHost host;
    const CommandResult r = ExecuteCommand("IsoDist C6Xx2", host);
    EXPECT_EQ(r.error, kCommandBadArguments);
    EXPECT_EQ(r.answer, "0 bad formula C6Xx2: unknown element Xx at character 3");
    for (const char* line : {"IsoDist", "IsoDist   ", "IsoDist C6H12O6 C", "IsoDist \"H2O\"", "IsoDist (C2"}) {
        const CommandResult bad = ExecuteCommand(line, host);
        EXPECT_EQ(bad.error, kCommandBadArguments) << line;
        EXPECT_EQ(bad.answer.substr(0, 2), "0 ") << line;
    }
}

TEST(HostCommands, UnknownAndMiscasedWordsAreUnknown) {
    FakeHost host;
    for (const char* line : {"Frobnicate 1", "MessageBox \"t\" \"T\" 0", "dbopen x", ""}) {
        const CommandResult r = ExecuteCommand(line, host);
        EXPECT_EQ(r.error, kCommandUnknown) << line;
        EXPECT_EQ(r.answer.rfind("unknown command: ", 0), 0u) << line;
    }
    EXPECT_TRUE(host.boxes.empty());
}

TEST(HostLanguageSetting, StoredNamesMapToTheirIndexOthersToEnglish) {
    EXPECT_EQ(kHostLanguages[LanguageIndex("german")].name, std::string("german"));
    EXPECT_EQ(kHostLanguages[LanguageIndex(" French\r")].name, std::string("french"));
    EXPECT_EQ(LanguageIndex("klingon"), 0u);
    EXPECT_EQ(LanguageIndex(""), 0u);
}

TEST(HostOptionsParsing, ScreenshotAndMenu) {
    const HostOptions o = ParseHostOptions({"--screenshot", "C:\\a.bmp", "--menu"});
    EXPECT_TRUE(o.error.empty());
    EXPECT_EQ(o.screenshotPath, "C:\\a.bmp");
    EXPECT_TRUE(o.openPluginMenu);
    EXPECT_TRUE(ParseHostOptions({}).error.empty());
}

TEST(HostOptionsParsing, RejectsIncompleteOrUnknownOptions) {
    EXPECT_FALSE(ParseHostOptions({"--screenshot"}).error.empty());
    EXPECT_FALSE(ParseHostOptions({"--menu"}).error.empty());
    EXPECT_FALSE(ParseHostOptions({"--verbose"}).error.empty());
    EXPECT_FALSE(ParseHostOptions({"--exec"}).error.empty());
    EXPECT_FALSE(ParseHostOptions({"--exec", "Get PrfLang", "--run"}).error.empty());
    // --exec opens no window, so nothing that needs one goes with it.
    EXPECT_FALSE(ParseHostOptions({"--exec", "Get PrfLang", "--screenshot", "a.bmp"}).error.empty());
    EXPECT_FALSE(ParseHostOptions({"--run", "Get PrfLang", "--exec", "Get PrfLang"}).error.empty());
    EXPECT_FALSE(ParseHostOptions({"--choose", "About", "--exec", "Get PrfLang"}).error.empty());
    EXPECT_FALSE(ParseHostOptions({"--choose"}).error.empty());
    EXPECT_FALSE(ParseHostOptions({"--choose", ""}).error.empty());
}

TEST(HostOptionsParsing, ExecAndRunKeepTheirCommandsInOrderVerbatim) {
    const HostOptions o = ParseHostOptions({"--exec", "DbOpen \"C:\\a b.db\"", "--exec", "--menu", "--exec", ""});
    EXPECT_TRUE(o.error.empty()) << o.error;
    EXPECT_EQ(o.commands, std::vector<std::string>({"DbOpen \"C:\\a b.db\"", "--menu", ""}));
    EXPECT_FALSE(o.openPluginMenu);

    const HostOptions r = ParseHostOptions({"--run", "DbOpen x", "--screenshot", "s.bmp", "--run", "IsoDist H2O"});
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.startupCommands, std::vector<std::string>({"DbOpen x", "IsoDist H2O"}));
    EXPECT_TRUE(r.commands.empty());

    EXPECT_EQ(ParseHostOptions({"--run", "x", "--choose", "--menu"}).menuChoice, "--menu");
}

class PluginMenuPlanTest : public ::testing::Test {
protected:
    PluginMenuEntry entries[5] = {};
    PluginRecord record{1, 2, 3, 0, "Ionsift", "Brannoc", entries};
    int image = 0;
};

TEST_F(PluginMenuPlanTest, CaptionedEntriesAndOneHelpEntry) {
    entries[0] = {"About", 0, &image, 0, 0, 1};
    entries[1] = {nullptr, 0, nullptr, 0, 0, 3};
    entries[2] = {"Spectra", 0, nullptr, 0, 0, 101};
    const PluginMenuPlan plan = PlanPluginMenu(&record);
    EXPECT_TRUE(plan.problem.empty());
    EXPECT_EQ(plan.pluginName, "Ionsift");
    ASSERT_EQ(plan.items.size(), 3u);
    EXPECT_EQ(plan.items[0].caption, "About");
    EXPECT_EQ(plan.items[0].image, &image);
    EXPECT_TRUE(plan.items[1].isHelp);
    EXPECT_EQ(plan.items[1].request, 3);
    EXPECT_EQ(plan.items[2].request, 101);
}

TEST_F(PluginMenuPlanTest, StopsAtAnEarlyAllZeroEntry) {
    entries[0] = {"About", 0, nullptr, 0, 0, 1};
    const PluginMenuPlan plan = PlanPluginMenu(&record);
    EXPECT_EQ(plan.items.size(), 1u);
}

TEST_F(PluginMenuPlanTest, RejectsUnusableRecords) {
    EXPECT_FALSE(PlanPluginMenu(nullptr).problem.empty());
    record.entryCount = 17;
    EXPECT_FALSE(PlanPluginMenu(&record).problem.empty());
    record.entryCount = -1;
    EXPECT_FALSE(PlanPluginMenu(&record).problem.empty());
    record.entryCount = 2;
    record.entries = nullptr;
    const PluginMenuPlan plan = PlanPluginMenu(&record);
    EXPECT_FALSE(plan.problem.empty());
    EXPECT_TRUE(plan.items.empty());
}

TEST_F(PluginMenuPlanTest, UnnamedPluginGetsAGenericName) {
    record.name = nullptr;
    record.entryCount = 0;
    EXPECT_EQ(PlanPluginMenu(&record).pluginName, "Plug-in");
}

}  // namespace
}  // namespace ionsift::host
