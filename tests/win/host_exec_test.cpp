// The real ionsift-host.exe under Wine, driven through --exec: databases made
// here and the staged structures.db, the isotope command, and CopyText
// landing on the Windows clipboard; structures stored packed, expanded by the
// host's own interpreter built for Windows.
#include <windows.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "host/chem/cml_blob.h"
#include "host/chem/cml_reader.h"
#include "tests/win/stand_in_host_win.h"

namespace {

const std::string kHost = std::string(IONSIFT_STAGE_DIR_WIN) + "\\ionsift-host.exe";
constexpr DWORD kHostTimeoutMs = 60000;

struct HostRun {
    DWORD exitCode = 0;
    std::string output;
};

// One argument quoted the way the C runtime splits a command line.
std::string Quote(const std::string& argument) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

HostRun RunHost(const std::vector<std::string>& commands) {
    std::string line = Quote(kHost);
    for (const std::string& command : commands) line += " --exec " + Quote(command);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    EXPECT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    HostRun run;
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(writeEnd);
    EXPECT_TRUE(started) << "cannot start " << kHost << " (error " << GetLastError() << ")";
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
        EXPECT_EQ(WaitForSingleObject(process.hProcess, kHostTimeoutMs), WAIT_OBJECT_0);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return run;
}

struct Report {
    int error;
    std::string answer;
};

// Splits the output into its reports: "== <code>\n", the answer, "\n".
std::vector<Report> Reports(const std::string& output) {
    std::vector<Report> reports;
    std::size_t at = 0;
    while (at < output.size()) {
        EXPECT_EQ(output.compare(at, 3, "== "), 0) << output.substr(at);
        const std::size_t codeEnd = output.find('\n', at);
        if (output.compare(at, 3, "== ") != 0 || codeEnd == std::string::npos) break;
        const int error = std::stoi(output.substr(at + 3, codeEnd - at - 3));
        std::size_t next = output.find("\n== ", codeEnd);
        next = next == std::string::npos ? output.size() - 1 : next;
        reports.push_back({error, output.substr(codeEnd + 1, next - codeEnd - 1)});
        at = next + 1;
    }
    return reports;
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return "(clipboard not opened)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// A scratch folder whose name has an accented letter, as user folders do:
// the host gets its path in the ANSI code page, SQLite wants UTF-8.
class HostExec : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folderW_ = std::wstring(temp) + L"ionsift-donn\u00e9es-" + std::to_wstring(GetCurrentProcessId());
        char ansi[MAX_PATH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, folderW_.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
        folder_ = ansi;
        ASSERT_EQ(folder_.find('?'), std::string::npos) << "folder name not representable";
        CreateDirectoryW(folderW_.c_str(), nullptr);
        const std::wstring file = folderW_ + L"\\sample.db";
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open16(file.c_str(), &db), SQLITE_OK);
        const int rc = sqlite3_exec(db,
                                    "CREATE TABLE Molecules (ID INTEGER PRIMARY KEY, MassMI REAL NOT NULL, Formula TEXT,"
                                    " Name TEXT, Structure TEXT);"
                                    "INSERT INTO Molecules VALUES (12, 180.063388, 'C6H12O6', 'glucose', NULL);"
                                    "INSERT INTO Molecules VALUES (13, 180.063388, 'C6H12O6', 'fructose;' || char(10) || 'keto', NULL);"
                                    "INSERT INTO Molecules VALUES (7, 46.041865, 'C2H6O', 'ethanol', NULL);",
                                    nullptr, nullptr, nullptr);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK);
        database_ = folder_ + "\\sample.db";
    }
    void TearDown() override {
        DeleteFileW((folderW_ + L"\\sample.db").c_str());
        RemoveDirectoryW(folderW_.c_str());
    }

    std::wstring folderW_;
    std::string folder_;
    std::string database_;
};

TEST_F(HostExec, ServesTheDatabaseCommandsOnARealFile) {
    const HostRun run = RunHost({
        "DbOpen \"" + database_ + "\"",
        "DbSqlExec db1 \"SELECT ID, MassMI, Formula, Name FROM Molecules WHERE (MassMI > 179.999640) AND "
        "(MassMI < 180.360000) ORDER BY MassMI ASC LIMIT 200\"",
        "DbSqlExec db1 \"SELECT * FROM NoSuchTable\"",
        "DbSqlExec db1 \"DELETE FROM Molecules\"",
        "DbClose db1",
        "DbSqlExec db1 \"SELECT 1\"",
        "DbOpen \"" + folder_ + "\\missing.db\"",
    });
    EXPECT_EQ(run.exitCode, 0u);
    const std::vector<Report> r = Reports(run.output);
    ASSERT_EQ(r.size(), 7u) << run.output;
    EXPECT_EQ(r[0].error, 0);
    EXPECT_EQ(r[0].answer, "db1");
    EXPECT_EQ(r[1].error, 0);
    EXPECT_EQ(r[1].answer, "12;180.063388;C6H12O6;glucose\n13;180.063388;C6H12O6;fructose, keto\n");
    EXPECT_EQ(r[2].error, 5);
    EXPECT_EQ(r[2].answer, "0 no such table: NoSuchTable");
    EXPECT_EQ(r[3].error, 5);
    EXPECT_EQ(r[4].error, 0);
    EXPECT_NE(r[5].error, 0);
    EXPECT_EQ(r[6].answer.rfind("0 cannot open ", 0), 0u) << r[6].answer;
    EXPECT_EQ(GetFileAttributesA((folder_ + "\\missing.db").c_str()), INVALID_FILE_ATTRIBUTES);

    // A second run sees the rows the refused DELETE would have removed.
    const HostRun again = RunHost({"DbOpen \"" + database_ + "\"", "DbSqlExec db1 \"SELECT count(*) FROM Molecules\""});
    ASSERT_EQ(Reports(again.output).size(), 2u) << again.output;
    EXPECT_EQ(Reports(again.output)[1].answer, "3\n");
}

TEST_F(HostExec, AHugeValueIsRefusedWithoutEndingTheRun) {
    // 300 MB of zeros would answer 600 MB of hexadecimal digits: more than a
    // 32-bit process can hold beside SQLite's copy.
    const HostRun run = RunHost({"DbOpen \"" + database_ + "\"", "DbSqlExec db1 \"SELECT zeroblob(300000000)\"",
                                 "DbSqlExec db1 \"SELECT count(*) FROM Molecules\""});
    EXPECT_EQ(run.exitCode, 0u);
    const std::vector<Report> r = Reports(run.output);
    ASSERT_EQ(r.size(), 3u) << run.output;
    EXPECT_EQ(r[1].error, 5);
    EXPECT_EQ(r[1].answer, "0 answer larger than 67108864 bytes; narrow the query");
    EXPECT_EQ(r[2].error, 0);
    EXPECT_EQ(r[2].answer, "3\n");
}

TEST_F(HostExec, AnswersIsotopesAndRefusesBadFormulas) {
    const std::vector<Report> r = Reports(RunHost({"IsoDist C6H12O6", "IsoDist C6H12Q6"}).output);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].error, 0);
    EXPECT_EQ(r[0].answer.rfind("180.063388 100.000000\n181.066831 6.856008\n", 0), 0u) << r[0].answer;
    EXPECT_EQ(r[1].error, 3);
    EXPECT_EQ(r[1].answer, "0 bad formula C6H12Q6: unknown element Q at character 6");
}

TEST_F(HostExec, CopyTextLandsOnTheClipboard) {
    const std::string text = "Mass; Formula; Name\r\n180,063388; C6H12O6; \"glucose\" 5%\r\n";
    const HostRun run = RunHost({"CopyText \"" + text + "\""});
    ASSERT_EQ(Reports(run.output).size(), 1u) << run.output;
    EXPECT_EQ(Reports(run.output)[0].error, 0) << run.output;
    EXPECT_EQ(ClipboardText(), text);

    // While this process holds the clipboard, the host reports that it cannot.
    ASSERT_TRUE(OpenClipboard(nullptr));
    const std::vector<Report> blocked = Reports(RunHost({"CopyText \"other\""}).output);
    CloseClipboard();
    ASSERT_EQ(blocked.size(), 1u);
    EXPECT_EQ(blocked[0].error, 4);
    EXPECT_EQ(blocked[0].answer.rfind("0 clipboard: cannot open the clipboard", 0), 0u) << blocked[0].answer;
    EXPECT_EQ(ClipboardText(), text);
}

// A row written before compact structures (CML text), the same structure
// packed as `dbtool import` writes it now, and a packed one cut short.
TEST_F(HostExec, PackedStructuresLoadLikeTextAndDamagedOnesGiveAReason) {
    const std::string cml =
        "<molecule><name>acetate</name><atomArray>"
        "<atom id=\"a1\" elementType=\"C\" hydrogenCount=\"3\" x2=\"-1.299\" y2=\"-0.75\"/>"
        "<atom id=\"a2\" elementType=\"C\" hydrogenCount=\"0\" x2=\"0\" y2=\"0\"/>"
        "<atom id=\"a3\" elementType=\"O\" formalCharge=\"-1\" hydrogenCount=\"0\" x2=\"1.299\" y2=\"-0.75\"/>"
        "<atom id=\"a4\" elementType=\"O\" hydrogenCount=\"0\" x2=\"0\" y2=\"1.5\"/>"
        "</atomArray><bondArray><bond atomRefs2=\"a1 a2\" order=\"1\"/><bond atomRefs2=\"a2 a3\" order=\"1\"/>"
        "<bond atomRefs2=\"a2 a4\" order=\"2\"/></bondArray></molecule>";
    const std::string packed = ionsift::chem::CmlPacker().Pack(cml);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open16((folderW_ + L"\\sample.db").c_str(), &db), SQLITE_OK);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Molecules VALUES (?1, 59.013853, 'C2H3O2', ?2, ?3)", -1, &insert, nullptr);
    const struct {
        int id;
        const char* name;
        std::string stored;
        bool asText;
    } rows[] = {{20, "acetate as text", cml, true},
                {21, "acetate packed", packed, false},
                {22, "acetate cut short", packed.substr(0, packed.size() - 6), false}};
    for (const auto& row : rows) {
        sqlite3_bind_int(insert, 1, row.id);
        sqlite3_bind_text(insert, 2, row.name, -1, SQLITE_STATIC);
        if (row.asText) {
            sqlite3_bind_text(insert, 3, row.stored.data(), static_cast<int>(row.stored.size()), SQLITE_STATIC);
        } else {
            sqlite3_bind_blob(insert, 3, row.stored.data(), static_cast<int>(row.stored.size()), SQLITE_STATIC);
        }
        EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);

    // The real exe loads each row, a damaged structure included.
    std::vector<std::string> commands = {"DbOpen \"" + database_ + "\""};
    for (const auto& row : rows) commands.push_back("DbGetRowId db1 " + std::to_string(row.id) + " Replace");
    const std::vector<Report> r = Reports(RunHost(commands).output);
    ASSERT_EQ(r.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(r[i + 1].error, 0);
        EXPECT_EQ(r[i + 1].answer, rows[i].name);
    }

    // What it puts into the workspace, from the same interpreter.
    ionsift::wintest::WindowlessServices services;
    ionsift::host::CommandInterpreter interpreter{services};
    ASSERT_EQ(interpreter.Execute("DbOpen \"" + database_ + "\"").answer, "db1");
    for (const auto& row : rows) interpreter.Execute("DbGetRowId db1 " + std::to_string(row.id) + " Replace");
    ASSERT_EQ(services.shownMolecules.size(), 3u);
    const ionsift::chem::CmlRead expected = ionsift::chem::ReadCml(cml);
    ASSERT_TRUE(expected.ok);
    for (std::size_t i = 0; i < 2; ++i) {
        const ionsift::chem::CmlMolecule& m = services.shownMolecules[i].structure;
        EXPECT_EQ(services.shownMolecules[i].structureNote, "");
        ASSERT_EQ(m.atoms.size(), 4u);
        for (std::size_t a = 0; a < m.atoms.size(); ++a) {
            const auto& got = m.atoms[a];
            const auto& want = expected.molecule.atoms[a];
            EXPECT_EQ(std::tie(got.element, got.hydrogenCount, got.x, got.y),
                      std::tie(want.element, want.hydrogenCount, want.x, want.y));
        }
        ASSERT_EQ(m.bonds.size(), 3u);
        EXPECT_EQ(m.bonds[2].order, 2);
    }
    EXPECT_TRUE(services.shownMolecules[2].structure.atoms.empty());
    EXPECT_EQ(services.shownMolecules[2].structureNote,
              "structure not readable: damaged compact structure: the stream is cut short");
}

TEST(HostExecStaged, ServesTheStagedStructuresDatabase) {
    const std::string database = std::string(IONSIFT_STAGE_DIR_WIN) + "\\Data\\Databases\\structures.db";
    if (GetFileAttributesA(database.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << database << " not staged";
    const std::vector<Report> r = Reports(RunHost({
        "DbOpen \"" + database + "\"",
        "DbSqlExec db1 \"SELECT ID, MassMI, Formula, Name FROM Molecules WHERE (MassMI > 180.062488) AND "
        "(MassMI < 180.064288) ORDER BY MassMI ASC LIMIT 200\"",
        "DbSqlExec db1 \"SELECT ID FROM Molecules ORDER BY ID LIMIT 1\"",
        "DbSqlExec db1 \"SELECT Nope FROM Molecules\"",
        "DbClose db1",
    }).output);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0].answer, "db1");
    ASSERT_EQ(r[1].error, 0);
    // Hexoses are among the structures; every row has four fields and a line end.
    EXPECT_NE(r[1].answer.find(";180.063388;C6H12O6;"), std::string::npos) << r[1].answer;
    std::size_t begin = 0;
    for (std::size_t end; (end = r[1].answer.find('\n', begin)) != std::string::npos; begin = end + 1) {
        const std::string row = r[1].answer.substr(begin, end - begin);
        EXPECT_EQ(std::count(row.begin(), row.end(), ';'), 3) << row;
    }
    EXPECT_EQ(begin, r[1].answer.size());
    EXPECT_EQ(r[3].error, 5);
    EXPECT_EQ(r[4].error, 0);

    const std::string firstId = r[2].answer.substr(0, r[2].answer.find('\n'));
    const std::vector<Report> loaded =
        Reports(RunHost({"DbOpen \"" + database + "\"", "DbGetRowId db1 " + firstId + " Replace"}).output);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[1].error, 0);
    EXPECT_FALSE(loaded[1].answer.empty());
}

}  // namespace
