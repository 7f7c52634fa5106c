// The replacing save's Windows steps, built into the test: the new file is
// made and held in one step until it is written, and folders whose paths pass
// 260 characters (which the save dialog's buffer holds) work like any other.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "export/replacing_save_win.h"
#include "tests/win/plugin_harness.h"

namespace ionsift::wintest {
namespace {

std::wstring LongForm(const std::string& path) { return L"\\\\?\\" + std::wstring(path.begin(), path.end()); }

// The bytes of a file at a path of any length; "" when it cannot be read.
std::string ReadAll(const std::string& path) {
    const HANDLE file = CreateFileW(LongForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(4096, '\0');
    DWORD read = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// The names in a folder at a path of any length.
std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((LongForm(folder) + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.emplace_back(name.begin(), name.end());
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

TEST(WindowsSaveSteps, TheNewFileIsHeldFromItsCreationUntilItIsWritten) {
    const TempHostFolder folder;
    WindowsSaveSteps steps;
    const std::string path = steps.CreateFileIn(folder.Path());
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.rfind(folder.Path(), 0), 0u) << path;
    // Nobody else gets at it meanwhile: no gap between creating and writing
    // in which another file could take its name.
    const HANDLE other = CreateFileA(path.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
    EXPECT_TRUE(steps.WriteAll(path, "bytes"));
    EXPECT_EQ(ReadAll(path), "bytes");
    steps.Remove(path);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(WindowsSaveSteps, FoldersPastTwoHundredSixtyCharactersSaveAndReplace) {
    const TempHostFolder root;
    std::string folder = root.Path();
    std::vector<std::string> made;
    for (const char letter : {'a', 'b', 'c'}) {
        folder += std::string(90, letter) + "\\";
        ASSERT_TRUE(CreateDirectoryW(LongForm(folder).c_str(), nullptr)) << folder.size();
        made.push_back(folder);
    }
    const std::string target = folder + "results.csv";
    ASSERT_GT(target.size(), 260u);
    for (const char* bytes : {"first\r\n", "second, replacing the first\r\n"}) {
        EXPECT_TRUE(SaveFileReplacing(target, bytes)) << bytes;
        EXPECT_EQ(ReadAll(target), bytes);
        EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"results.csv"}) << "nothing left beside it";
    }
    // The harness removes only what the ANSI functions reach.
    DeleteFileW(LongForm(target).c_str());
    for (auto at = made.rbegin(); at != made.rend(); ++at) RemoveDirectoryW(LongForm(*at).c_str());
}

}  // namespace
}  // namespace ionsift::wintest
