// The Windows console build of ionsift-annotate under Wine, on the small case
// of tests/native/annotate_case.h: the same rows byte for byte (LF line ends,
// "." decimals), the same messages, a file name outside the ANSI code page,
// and the exit status of a file that is not a molecule database. Run under a
// point and a comma user locale.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/native/annotate_case.h"

namespace {

constexpr DWORD kTimeoutMs = 60000;

struct ProgramRun {
    DWORD exitCode = 0;
    std::string rows;
    std::string messages;
};

// One argument quoted the way the C runtime splits a command line.
std::wstring Quote(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), static_cast<int>(wide.size())) - 1);
    return wide;
}

// Messages go through the console's text mode (CR LF); the rows do not.
std::string WithoutCarriageReturns(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

std::string ReadAll(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
}

class AnnotateWin : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"ionsift-annotate-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        std::string problem;
        ASSERT_TRUE(ionsift::annotate_case::WriteDatabase(Utf8Path(L"structures.db"), problem)) << problem;
        for (const auto& file : ionsift::annotate_case::kSpectrumFiles) ASSERT_TRUE(Write(Wide(file.name), file.text));
    }
    void TearDown() override {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((folder_ + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder_.c_str());
    }

    std::string Utf8Path(const std::wstring& name) const {
        const std::wstring path = folder_ + L"\\" + name;
        char utf8[MAX_PATH * 4] = {};
        WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
        return utf8;
    }
    // False when the file cannot be made: under Wine a name must also fit the
    // Unix locale's character set.
    bool Write(const std::wstring& name, const std::string& text) const {
        HANDLE file = CreateFileW((folder_ + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                        written == text.size();
        CloseHandle(file);
        return ok;
    }

    // The program in the scratch folder, its standard output and error caught.
    ProgramRun Annotate(const std::vector<std::wstring>& arguments) const {
        std::wstring line = Quote(Wide(IONSIFT_ANNOTATE_EXE));
        for (const std::wstring& argument : arguments) line += L" " + Quote(argument);
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE rowsRead = nullptr, rowsWrite = nullptr, messagesRead = nullptr, messagesWrite = nullptr;
        EXPECT_TRUE(CreatePipe(&rowsRead, &rowsWrite, &inherit, 1 << 20));
        EXPECT_TRUE(CreatePipe(&messagesRead, &messagesWrite, &inherit, 1 << 20));
        SetHandleInformation(rowsRead, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(messagesRead, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = rowsWrite;
        startup.hStdError = messagesWrite;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        PROCESS_INFORMATION process{};
        ProgramRun run;
        const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                            folder_.c_str(), &startup, &process);
        CloseHandle(rowsWrite);
        CloseHandle(messagesWrite);
        EXPECT_TRUE(started) << "cannot start " << IONSIFT_ANNOTATE_EXE << " (error " << GetLastError() << ")";
        if (started) {
            // The pipes hold the small case's output whole, so one is read after the other.
            run.rows = ReadAll(rowsRead);
            run.messages = WithoutCarriageReturns(ReadAll(messagesRead));
            EXPECT_EQ(WaitForSingleObject(process.hProcess, kTimeoutMs), WAIT_OBJECT_0);
            GetExitCodeProcess(process.hProcess, &run.exitCode);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        CloseHandle(rowsRead);
        CloseHandle(messagesRead);
        return run;
    }

    std::wstring folder_;
};

std::vector<std::wstring> CaseArguments() {
    std::vector<std::wstring> arguments;
    for (const std::string& argument : ionsift::annotate_case::kArguments) arguments.push_back(Wide(argument));
    return arguments;
}

TEST_F(AnnotateWin, TheSmallCaseByteForByte) {
    const ProgramRun run = Annotate(CaseArguments());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.rows, ionsift::annotate_case::ExpectedOutput());
    EXPECT_EQ(run.messages, ionsift::annotate_case::kExpectedMessages);
}

TEST_F(AnnotateWin, AFileNameOutsideTheCodePageIsReadAndNamed) {
    // "pics-données-Ω.csv": the Greek letter is in no Western code page.
    const std::wstring name = L"pics-donn\u00e9es-\u03a9.csv";
    if (!Write(name, ionsift::annotate_case::kSpectrumFiles[1].text)) {
        GTEST_SKIP() << "the Unix locale cannot name the file (the UTF-8 run covers it)";
    }
    const ProgramRun run = Annotate({L"structures.db", name});
    EXPECT_EQ(run.exitCode, 0u) << run.messages;
    EXPECT_NE(run.rows.find("\npics-donn\xc3\xa9" "es-\xce\xa9.csv#1\t1\t1\tglucose\t"), std::string::npos) << run.rows;
}

TEST_F(AnnotateWin, NotAMoleculeDatabaseStopsTheRun) {
    ASSERT_TRUE(Write(L"notes.db", "not SQLite at all, just some text long enough to be a header\n"));
    const ProgramRun run = Annotate({L"notes.db", L"spectra.mgf"});
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.rows, "");
    EXPECT_EQ(run.messages, "ionsift-annotate: notes.db: not a molecule database: file is not a database\n");
}

}  // namespace
