// DbOpen, DbSqlExec and DbClose against real SQLite files made by the tests.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <string>
#include <vector>

#include "host/app/command_table.h"
#include "host/app/exec_report.h"
#include "host/app/sql_answer.h"
#include "host/app/sqlite_database.h"
#include "tests/native/fake_host.h"

namespace ionsift::host {
namespace {

using test_support::CreateDatabase;
using test_support::FakeHost;
using test_support::FileBytes;
using test_support::ScratchFolder;

// The plug-in's mass-window query, as it formats it.
std::string WindowQuery(const std::string& handle, const char* low, const char* high, int limit) {
    return "DbSqlExec " + handle +
           " \"SELECT ID, MassMI, Formula, Name FROM Molecules WHERE (MassMI > " + low + ") AND (MassMI < " +
           high + ") ORDER BY MassMI ASC LIMIT " + std::to_string(limit) + "\"";
}

class HostDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = folder.File("sample.db");
        CreateDatabase(path,
                       "CREATE TABLE Molecules (ID INTEGER PRIMARY KEY, MassMI REAL NOT NULL, Formula TEXT,"
                       " Name TEXT, Structure TEXT);"
                       "CREATE INDEX MoleculesMass ON Molecules(MassMI);"
                       "INSERT INTO Molecules VALUES (12, 180.063388, 'C6H12O6', 'glucose', NULL);"
                       "INSERT INTO Molecules VALUES (13, 180.063388, 'C6H12O6', 'fructose; keto form', NULL);"
                       "INSERT INTO Molecules VALUES (7, 46.041865, 'C2H6O', 'ethanol' || char(13,10) || 'spirit', NULL);"
                       "INSERT INTO Molecules VALUES (8, 18.010565, 'H2O', NULL, NULL);");
    }

    CommandResult Run(const std::string& line) { return interpreter.Execute(line); }

    std::string Open() {
        const CommandResult r = Run("DbOpen \"" + path + "\"");
        EXPECT_EQ(r.error, kCommandOk) << r.answer;
        return r.answer;
    }

    ScratchFolder folder;
    std::string path;
    FakeHost host;
    CommandInterpreter interpreter{host};
};

TEST(SqlAnswer, TextFieldsLoseTheDelimitersThePluginGroupsBy) {
    EXPECT_EQ(AnswerText("a;b\r\nc\rd\ne"), std::string("a,b  c d e"));
    EXPECT_EQ(AnswerText(std::string("nul\0byte", 8)), "nul byte");
    EXPECT_EQ(AnswerText("tab\tand \"quotes\" stay"), "tab\tand \"quotes\" stay");
    const unsigned char bytes[] = {0x00, 0x3B, 0xFF};
    EXPECT_EQ(AnswerBlob(bytes, 3), "003BFF");
}

TEST(SqlAnswer, RealsHaveSixDecimalsAndAPointUnderAnyLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
    EXPECT_EQ(AnswerReal(180.063388), "180.063388");
    EXPECT_EQ(AnswerReal(-0.5), "-0.500000");
    EXPECT_EQ(AnswerReal(2.0000004), "2.000000");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST_F(HostDatabaseTest, ThePluginsQueryAnswersFourFieldsPerRow) {
    const std::string db = Open();
    const CommandResult r = Run(WindowQuery(db, "180.000000", "181.000000", 200));
    EXPECT_EQ(r.error, kCommandOk);
    EXPECT_EQ(r.answer, "12;180.063388;C6H12O6;glucose\n13;180.063388;C6H12O6;fructose, keto form\n");

    // A name with a line break, and a NULL name: still four fields, one line.
    EXPECT_EQ(Run(WindowQuery(db, "0", "50", 200)).answer,
              "8;18.010565;H2O;\n7;46.041865;C2H6O;ethanol  spirit\n");
    EXPECT_EQ(Run(WindowQuery(db, "0", "50", 1)).answer, "8;18.010565;H2O;\n");
    EXPECT_EQ(Run(WindowQuery(db, "500", "600", 200)).answer, "");
}

TEST_F(HostDatabaseTest, EveryColumnTypeHasItsText) {
    CreateDatabase(path, "CREATE TABLE T (v);"
                         "INSERT INTO T VALUES (9007199254740993), (-4), (2.5), (1e15), (NULL), ('x;y'), (x'0aff');");
    const std::string db = Open();
    const CommandResult r = Run("DbSqlExec " + db + " \"SELECT v, typeof(v) FROM T ORDER BY rowid\"");
    EXPECT_EQ(r.error, kCommandOk);
    EXPECT_EQ(r.answer, "9007199254740993;integer\n-4;integer\n2.500000;real\n1" + std::string(15, '0') +
                            ".000000;real\n;null\nx,y;text\n0AFF;blob\n");
}

TEST_F(HostDatabaseTest, SqlRunsFromTheFirstQuoteAfterTheHandleToTheLastQuote) {
    const std::string db = Open();
    // Quotes inside the SQL belong to it.
    EXPECT_EQ(Run("DbSqlExec " + db + " \"SELECT ID FROM Molecules WHERE Name <> 'say \"hi\"' AND ID < 8\"").answer,
              "7\n");
    EXPECT_EQ(Run("DbSqlExec\t" + db + "   \"SELECT 1;  -- trailing comment\"  \r\n").answer, "1\n");
    for (const std::string& line : {"DbSqlExec " + db + " SELECT 1", std::string("DbSqlExec \"SELECT 1\""),
                                    "DbSqlExec " + db + " \"SELECT 1", "DbSqlExec " + db,
                                    "DbSqlExec " + db + "\"SELECT 1\"", "DbSqlExec " + db + " \"SELECT 1\" x"}) {
        const CommandResult r = Run(line);
        EXPECT_EQ(r.error, kCommandBadArguments) << line;
        EXPECT_EQ(r.answer.substr(0, 2), "0 ") << line;
    }
}

TEST_F(HostDatabaseTest, OnlyASingleSelectRunsAndTheFileStaysUntouched) {
    const std::string before = FileBytes(path);
    const std::string db = Open();
    for (const char* sql : {"INSERT INTO Molecules VALUES (1, 1.0, 'H', 'x', NULL)", "DELETE FROM Molecules",
                            "UPDATE Molecules SET Name = 'x'", "DROP TABLE Molecules", "CREATE TABLE X (a)",
                            "PRAGMA writable_schema = 1", "PRAGMA table_info(Molecules)", "BEGIN",
                            "ATTACH 'other.db' AS other", "VACUUM", "SELECT 1; DELETE FROM Molecules",
                            "SELECT 1; SELECT 2", ""}) {
        const CommandResult r = Run("DbSqlExec " + db + " \"" + sql + "\"");
        EXPECT_EQ(r.error, kCommandDatabaseError) << sql;
        EXPECT_EQ(r.answer.substr(0, 2), "0 ") << sql;
    }
    EXPECT_EQ(Run("DbSqlExec " + db + " \"SELECT count(*) FROM Molecules\"").answer, "4\n");
    EXPECT_EQ(Run("DbClose " + db).error, kCommandOk);
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_FALSE(std::filesystem::exists(folder.File("other.db")));
}

TEST_F(HostDatabaseTest, FailedQueriesAnswerSqlitesMessage) {
    const std::string db = Open();
    CommandResult r = Run("DbSqlExec " + db + " \"SELECT * FROM Nope\"");
    EXPECT_EQ(r.error, kCommandDatabaseError);
    EXPECT_EQ(r.answer, "0 no such table: Nope");
    r = Run("DbSqlExec " + db + " \"SELEC 1\"");
    EXPECT_EQ(r.error, kCommandDatabaseError);
    EXPECT_NE(r.answer.find("syntax error"), std::string::npos) << r.answer;
}

TEST_F(HostDatabaseTest, HandlesAreNewForEveryOpenAndDieWithTheirClose) {
    const std::string first = Open();
    const std::string second = Open();
    EXPECT_EQ(first, "db1");
    EXPECT_EQ(second, "db2");
    EXPECT_EQ(Run("DbClose " + first).error, kCommandOk);
    EXPECT_EQ(interpreter.databases().OpenCount(), 1u);
    for (const std::string& line : {"DbClose " + first, "DbSqlExec " + first + " \"SELECT 1\"", std::string("DbClose 0"),
                                    std::string("DbClose")}) {
        const CommandResult r = Run(line);
        EXPECT_EQ(r.error, kCommandBadArguments) << line;
        EXPECT_EQ(r.answer.substr(0, 2), "0 ") << line;
    }
    EXPECT_EQ(Run("DbSqlExec " + second + " \"SELECT count(*) FROM Molecules\"").answer, "4\n");
    EXPECT_EQ(Open(), "db3");  // a closed handle is not given out again
}

TEST_F(HostDatabaseTest, OpensThatFailAnswerZeroAndAReason) {
    const std::string missing = folder.File("missing.db");
    const std::string text = folder.File("notes.db");
    std::ofstream(text) << "These are not the databases you are looking for.\n";
    for (const std::string& target : {missing, text, folder.File("")}) {
        const CommandResult r = Run("DbOpen \"" + target + "\"");
        EXPECT_NE(r.error, kCommandOk) << target;
        ASSERT_FALSE(r.answer.empty());
        EXPECT_EQ(r.answer[0], '0') << r.answer;
        EXPECT_NE(r.answer.find(target), std::string::npos) << r.answer;
    }
    EXPECT_FALSE(std::filesystem::exists(missing));  // never created
    EXPECT_NE(Run("DbOpen \"" + text + "\"").answer.find("not a database"), std::string::npos);
    EXPECT_EQ(Run("DbOpen").error, kCommandBadArguments);
    EXPECT_EQ(Run("DbOpen \"\"").error, kCommandBadArguments);
    EXPECT_EQ(interpreter.databases().OpenCount(), 0u);
}

TEST_F(HostDatabaseTest, BarePathsTypedByAUserOpenToo) {
    const CommandResult r = Run("DbOpen " + path + "  ");
    EXPECT_EQ(r.error, kCommandOk) << r.answer;
    EXPECT_EQ(r.answer, "db1");
}

TEST_F(HostDatabaseTest, RunawayQueriesAreStoppedAndOversizedAnswersRefused) {
    std::string problem;
    const auto database = Database::OpenReadOnly(path, problem);
    ASSERT_TRUE(database) << problem;
    std::string answer;
    EXPECT_TRUE(database->Select("SELECT Formula FROM Molecules", answer, problem, 64));
    EXPECT_FALSE(database->Select("SELECT Formula FROM Molecules", answer, problem, 16));
    EXPECT_EQ(answer, "");  // refused, not cut
    EXPECT_NE(problem.find("16 bytes"), std::string::npos) << problem;

    database->SetQueryTimeLimit(std::chrono::milliseconds(50));
    const char* endless = "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c";
    EXPECT_FALSE(database->Select(endless, answer, problem));
    EXPECT_EQ(problem, "query stopped after 50 ms");
    EXPECT_TRUE(database->Select("SELECT count(*) FROM Molecules", answer, problem));  // the clock restarts
    EXPECT_EQ(answer, "4\n");
}

TEST_F(HostDatabaseTest, OneHugeFieldIsRefusedLikeAHugeAnswer) {
    std::string problem;
    const auto database = Database::OpenReadOnly(path, problem);
    ASSERT_TRUE(database) << problem;
    std::string answer;
    // Hex doubles a blob: 8 bytes answer 16 digits and a line feed.
    EXPECT_TRUE(database->Select("SELECT zeroblob(8)", answer, problem, 17));
    EXPECT_EQ(answer, std::string(16, '0') + "\n");
    for (const char* sql : {"SELECT zeroblob(9)", "SELECT 'ab', zeroblob(8)", "SELECT printf('%.*c', 18, 'x')"}) {
        EXPECT_FALSE(database->Select(sql, answer, problem, 17)) << sql;
        EXPECT_EQ(answer, "") << sql;
        EXPECT_NE(problem.find("17 bytes"), std::string::npos) << problem;
    }
}

TEST_F(HostDatabaseTest, ACommandThatRunsOutOfMemoryFailsAloneAndTheNextOnesRun) {
    const std::string db = Open();
    host.clipboardExhaustsMemory = true;
    const CommandResult r = Run("CopyText \"x\"");
    EXPECT_EQ(r.error, kCommandHostFailure);
    EXPECT_EQ(r.answer, "0 host failure: out of memory");
    host.clipboardExhaustsMemory = false;
    EXPECT_EQ(Run("CopyText \"y\"").error, kCommandOk);
    EXPECT_EQ(host.clipboard, std::vector<std::string>({"y"}));
    EXPECT_EQ(Run("DbSqlExec " + db + " \"SELECT count(*) FROM Molecules\"").answer, "4\n");
}

TEST_F(HostDatabaseTest, ExecModeKeepsHandlesAcrossCommandsAndReportsEachAnswerWhole) {
    std::string output;
    int reports = 0;
    RunExecCommands({"DbOpen \"" + path + "\"", "DbSqlExec db1 \"SELECT ID, Name FROM Molecules WHERE ID > 12\"",
                     "DbClose db1", "DbClose db1"},
                    interpreter, [&](const std::string& report) {
                        output += report;
                        ++reports;
                    });
    EXPECT_EQ(reports, 4);
    // The answer's own final line feed stays, and one more ends the report.
    EXPECT_EQ(output, "== 0\ndb1\n== 0\n13;fructose, keto form\n\n== 0\n\n== 3\n0 unknown database handle: db1\n");
}

}  // namespace
}  // namespace ionsift::host
