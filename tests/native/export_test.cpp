// The exports of the results list: the three CopyText commands, the CSV and
// DIF bytes, and the save that replaces a file only after every write.
#include <gtest/gtest.h>

#include <map>
#include <new>
#include <string>
#include <vector>

#include "export/copy_text.h"
#include "export/replacing_save.h"
#include "export/result_files.h"
#include "search/results_answer.h"

namespace ionsift {
namespace {

ResultRow Row(const char* mass, const char* formula, const char* name) {
    return ResultRow{{mass, formula, name}, nullptr};
}

const ColumnTitles kTitles = {"Mass", "Formula", "Name"};

// Rows as a comma locale shows them, with the awkward cells of real lists.
const std::vector<ResultRow> kRows = {
    Row("180,063388", "C6H12O6", "glucose"),
    Row("18,010565", "", "100% \"pure\" water"),   // no formula; quote and percent
    Row("46,041865", "C2H6O", ""),                 // no name
    Row("1800,5", "C6H6", "benzene; dimer"),       // the CSV separator in a name
};

TEST(CopyText, OneCellOneRowWithSpacesTheWholeListWithSemicolonsAndCrLf) {
    EXPECT_EQ(CopyCellCommand(kRows[0], 0), "CopyText \"180,063388\"");
    EXPECT_EQ(CopyCellCommand(kRows[0], 1), "CopyText \"C6H12O6\"");
    EXPECT_EQ(CopyCellCommand(kRows[1], 2), "CopyText \"100% \"pure\" water\"");
    EXPECT_EQ(CopyCellCommand(kRows[1], 1), "CopyText \"\"");
    EXPECT_EQ(CopyCellCommand(kRows[0], -1), "");
    EXPECT_EQ(CopyCellCommand(kRows[0], 3), "");

    EXPECT_EQ(CopyRowCommand(kRows[0]), "CopyText \"180,063388 C6H12O6 glucose\"");
    EXPECT_EQ(CopyRowCommand(kRows[2]), "CopyText \"46,041865 C2H6O \"") << "empty name";
    EXPECT_EQ(CopyRowCommand(kRows[1]), "CopyText \"18,010565  100% \"pure\" water\"");

    const std::vector<ResultRow> two(kRows.begin(), kRows.begin() + 3);
    EXPECT_EQ(CopyAllCommand({kTitles, two}),
              "CopyText \"Mass; Formula; Name\r\n"
              "180,063388; C6H12O6; glucose\r\n"
              "18,010565; ; 100% \"pure\" water\r\n"
              "46,041865; C2H6O; \r\n\"");
}

TEST(CopyText, AListOfNRowsGivesNPlusOneLinesEachEndedByCrLf) {
    for (std::size_t n = 0; n <= kRows.size(); ++n) {
        const std::vector<ResultRow> rows(kRows.begin(), kRows.begin() + static_cast<long>(n));
        const std::string command = CopyAllCommand({kTitles, rows});
        ASSERT_GE(command.size(), 3u);
        EXPECT_EQ(command.substr(command.size() - 3), "\r\n\"");
        std::size_t lines = 0;
        for (std::size_t at = command.find("\r\n"); at != std::string::npos;
             at = command.find("\r\n", at + 2)) {
            ++lines;
        }
        EXPECT_EQ(lines, n + 1) << n << " rows";
        EXPECT_EQ(command.find('\n'), command.find("\r\n") + 1) << "no bare line feed";
    }
}

TEST(ResultFiles, CsvHasATitleLineAndOneLinePerRowWrittenAsTheListHoldsThem) {
    EXPECT_EQ(CsvText({kTitles, kRows}),
              "Mass; Formula; Name\r\n"
              "180,063388; C6H12O6; glucose\r\n"
              "18,010565; ; 100% \"pure\" water\r\n"
              "46,041865; C2H6O; \r\n"
              "1800,5; C6H6; benzene; dimer\r\n");
    // Localized titles come as the list's captions give them.
    const std::vector<ResultRow> none;
    EXPECT_EQ(CsvText({{"Masse", "Summenformel", "Name"}, none}), "Masse; Summenformel; Name\r\n");
}

TEST(ResultFiles, DifHasTheHeaderTemplateATitleTupleAndOneTuplePerRow) {
    const std::vector<ResultRow> rows(kRows.begin(), kRows.begin() + 3);
    // VECTORS: three cells in the first row; TUPLES: three rows plus the titles.
    // The comma locale's mass gives two commas in the numeric value line.
    EXPECT_EQ(DifText({kTitles, rows}),
              "TABLE\r\n0,1\r\n\"POCKETS\"\r\n"
              "VECTORS\r\n0,3\r\n\"\"\r\n"
              "TUPLES\r\n0,4\r\n\"\"\r\n"
              "DATA\r\n0,0\r\n\"\"\r\n"
              "-1,0\r\nBOT\r\n"
              "1,0\r\n\"Mass\"\r\n1,0\r\n\"Formula\"\r\n1,0\r\n\"Name\"\r\n"
              "-1,0\r\n"
              "BOT\r\n0,180,063388\r\nV\r\n1,0\r\n\"C6H12O6\"\r\n1,0\r\n\"glucose\"\r\n-1,0\r\n"
              "BOT\r\n0,18,010565\r\nV\r\n1,0\r\n\"\"\r\n1,0\r\n\"100% \"pure\" water\"\r\n-1,0\r\n"
              "BOT\r\n0,46,041865\r\nV\r\n1,0\r\n\"C2H6O\"\r\n1,0\r\n\"\"\r\n-1,0\r\n"
              "EOD\r\n");
}

TEST(ResultFiles, TheFileTypeAloneChoosesTheFormatAndLineFeedsInCellsBecomeCrLf) {
    const std::vector<ResultRow> rows = {Row("1.5", "C", "line\nbreak\r")};
    std::string text = "untouched";
    ASSERT_TRUE(ResultFileText(1, {kTitles, rows}, text));
    // A text-mode stream writes every "\n" as CR LF; a lone CR stays.
    EXPECT_EQ(text, "Mass; Formula; Name\r\n1.5; C; line\r\nbreak\r\r\n");
    ASSERT_TRUE(ResultFileText(2, {kTitles, rows}, text));
    EXPECT_EQ(text.rfind("TABLE\r\n", 0), 0u);
    EXPECT_NE(text.find("\"line\r\nbreak\r\"\r\n-1,0\r\nEOD\r\n"), std::string::npos);
    for (const int other : {0, 3, -1}) {
        text = "untouched";
        EXPECT_FALSE(ResultFileText(other, {kTitles, rows}, text)) << other;
        EXPECT_EQ(text, "untouched");
    }
}

// An in-memory file system whose steps can each be made to fail.
class FakeSteps : public SaveSteps {
public:
    std::map<std::string, std::string> files;
    bool failCreate = false, failWrite = false, failReplace = false;
    std::vector<std::string> createdIn;

    std::string CreateFileIn(const std::string& folder) override {
        createdIn.push_back(folder);
        if (failCreate) return {};
        const std::string path = folder + "ion" + std::to_string(files.size()) + ".tmp";
        files[path] = "";
        return path;
    }
    bool WriteAll(const std::string& path, std::string_view bytes) override {
        // A full disk takes the first part and refuses the rest.
        files[path] = std::string(failWrite ? bytes.substr(0, bytes.size() / 2) : bytes);
        return !failWrite;
    }
    bool Replace(const std::string& from, const std::string& to) override {
        if (failReplace) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void Remove(const std::string& path) override { files.erase(path); }
};

TEST(ReplacingSave, AFailedStepLeavesTheOldFileAsItWasAndNoNewFileBehind) {
    const std::map<std::string, std::string> before = {{"C:\\out\\list.csv", "old contents"},
                                                       {"C:\\out\\other.txt", "x"}};
    for (const char* failing : {"create", "write", "replace"}) {
        FakeSteps steps;
        steps.files = before;
        steps.failCreate = std::string(failing) == "create";
        steps.failWrite = std::string(failing) == "write";
        steps.failReplace = std::string(failing) == "replace";
        EXPECT_FALSE(SaveReplacing(steps, "C:\\out\\list.csv", "new contents")) << failing;
        EXPECT_EQ(steps.files, before) << failing;
        // A new file that was never there stays absent.
        steps.files.clear();
        EXPECT_FALSE(SaveReplacing(steps, "C:\\out\\list.csv", "new contents")) << failing;
        EXPECT_TRUE(steps.files.empty()) << failing;
    }
}

TEST(ReplacingSave, SuccessReplacesTheFileWithTheNewBytesFromTheSameFolder) {
    FakeSteps steps;
    steps.files = {{"C:\\out\\list.csv", "old contents, longer than the new"}};
    EXPECT_TRUE(SaveReplacing(steps, "C:\\out\\list.csv", "new"));
    EXPECT_EQ(steps.files, (std::map<std::string, std::string>{{"C:\\out\\list.csv", "new"}}));
    EXPECT_EQ(steps.createdIn, std::vector<std::string>{"C:\\out\\"});

    EXPECT_EQ(FolderOf("D:\\a\\b\\c.dif"), "D:\\a\\b\\");
    EXPECT_EQ(FolderOf("/tmp/x.csv"), "/tmp/");
    EXPECT_EQ(FolderOf("C:\\x.csv"), "C:\\");
    EXPECT_EQ(FolderOf("x.csv"), ".");
}

// Steps that throw half way (out of memory for a path, say), and a file
// system where the target is a link to a file in another folder.
class ThrowingSteps : public FakeSteps {
public:
    std::string throwIn;
    std::map<std::string, std::string> links;  // link -> the file it names

    std::string FileNamedBy(const std::string& target) override {
        const auto link = links.find(target);
        return link == links.end() ? target : link->second;
    }
    bool WriteAll(const std::string& path, std::string_view bytes) override {
        if (throwIn == "write") throw std::bad_alloc();
        return FakeSteps::WriteAll(path, bytes);
    }
    bool Replace(const std::string& from, const std::string& to) override {
        if (throwIn == "replace") throw std::bad_alloc();
        return FakeSteps::Replace(from, to);
    }
};

TEST(ReplacingSave, NoNewFileOutlivesAThrowingStepAndALinkIsWrittenThrough) {
    for (const char* step : {"write", "replace"}) {
        ThrowingSteps steps;
        steps.files = {{"C:\\out\\list.csv", "old"}};
        steps.throwIn = step;
        EXPECT_THROW(SaveReplacing(steps, "C:\\out\\list.csv", "new"), std::bad_alloc) << step;
        EXPECT_EQ(steps.files, (std::map<std::string, std::string>{{"C:\\out\\list.csv", "old"}})) << step;
    }
    ThrowingSteps steps;
    steps.links = {{"C:\\out\\link.csv", "D:\\data\\real.csv"}};
    steps.files = {{"D:\\data\\real.csv", "old"}};
    EXPECT_TRUE(SaveReplacing(steps, "C:\\out\\link.csv", "new"));
    EXPECT_EQ(steps.files, (std::map<std::string, std::string>{{"D:\\data\\real.csv", "new"}}));
    EXPECT_EQ(steps.createdIn, std::vector<std::string>{"D:\\data\\"}) << "beside the file, not the link";
}

// An answer whose last row stops after the mass or the formula: the row holds
// only those texts, the list shows the rest empty, and every export writes
// the row as it holds it. DIF counts the first row's texts.
TEST(ShortRows, CopyRowCopyAllCsvAndDifWriteOnlyTheTextsTheRowHolds) {
    const struct {
        const char* answer;
        const char* spaced;     // Copy row, between the quotes
        const char* line;       // Copy all and CSV: the row's line, without its end
        const char* vectors;    // DIF: texts of the first row
        const char* tuple;      // DIF: the last row's tuple
    } cases[] = {
        {"2;200.25\n", "200.25", "200.25", "1", "BOT\r\n0,200.25\r\nV\r\n-1,0\r\n"},
        {"2;200.25;CH4\n", "200.25 CH4", "200.25; CH4", "2",
         "BOT\r\n0,200.25\r\nV\r\n1,0\r\n\"CH4\"\r\n-1,0\r\n"},
        // Held but empty texts are written, as before.
        {"2;200.25;;\n", "200.25  ", "200.25; ; ", "3",
         "BOT\r\n0,200.25\r\nV\r\n1,0\r\n\"\"\r\n1,0\r\n\"\"\r\n-1,0\r\n"},
        // A full first row sets the count; the short second row stays short.
        {"1;100.5;C;x\n2;200.25\n", "200.25", "200.25", "3", "BOT\r\n0,200.25\r\nV\r\n-1,0\r\n"},
    };
    for (const auto& c : cases) {
        RowIdTable ids;
        ResultRows read;
        AnswerCounts counts;
        ASSERT_EQ(ReadResultsAnswer(c.answer, '.', ids, read, counts), AnswerReading::Read);
        ASSERT_FALSE(read.rows.empty()) << c.answer;
        const ResultRow& last = read.rows.back();
        EXPECT_STREQ(last.cells[kNameColumn], "") << "the list's empty cell";

        const ResultTable table{kTitles, read.rows};
        const std::string line = std::string(c.line) + "\r\n";
        EXPECT_EQ(CopyRowCommand(last), std::string("CopyText \"") + c.spaced + "\"") << c.answer;
        const std::string all = CopyAllCommand(table);
        EXPECT_EQ(all.substr(all.size() - line.size() - 1), line + "\"") << c.answer;
        const std::string csv = CsvText(table);
        EXPECT_EQ(csv.substr(csv.size() - line.size()), line) << c.answer;
        const std::string dif = DifText(table);
        EXPECT_NE(dif.find(std::string("VECTORS\r\n0,") + c.vectors + "\r\n"), std::string::npos)
            << c.answer;
        EXPECT_NE(dif.find(std::string("\r\n-1,0\r\n") + c.tuple + "EOD\r\n"), std::string::npos)
            << c.answer << dif;
    }
}

}  // namespace
}  // namespace ionsift
