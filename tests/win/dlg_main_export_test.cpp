// The exports of the real Ionsift.dll behind a recording host: the CopyText
// commands of the three copy entries, and the CSV and DIF files written
// through the real save dialog, which the test drives as a user would.
// Registered under a point and a comma locale.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "tests/win/tool_window_fixture.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;

const char kCantWrite[] = "messagebox \"Can't write the file\" \"Ionsift error:\" 16";

// Three candidates: one without a formula whose name holds a quote and a
// percent sign, one without a name.
const char kThreeRows[] =
    "31;180.063388;C6H12O6;glucose\n"
    "7;18.010565;;100% \"pure\" water\n"
    "4;46.041865;C2H6O;\n";

// What the test does in the save dialog, and what the dialog showed.
struct SaveScript {
    std::string typeName;  // typed into the file name box; empty: keep the offer
    int type = 0;          // file type picked, 1-based; 0: keep the offer
    bool cancel = false;
    bool shown = false;
    std::string offeredName;
    int offeredType = 0;
    RECT placed{};
};
SaveScript g_save;

BOOL CALLBACK FindShownDialog(HWND window, LPARAM found) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Runs inside the save dialog's modal loop.
void CALLBACK DriveSaveDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShownDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog || g_save.shown) return;
    g_save.shown = true;
    GetWindowRect(dialog, &g_save.placed);
    HWND nameBox = GetDlgItem(dialog, edt1) ? GetDlgItem(dialog, edt1) : GetDlgItem(dialog, cmb13);
    const HWND typeBox = GetDlgItem(dialog, cmb1);
    char text[MAX_PATH] = {};
    GetWindowTextA(nameBox, text, sizeof text);
    g_save.offeredName = text;
    g_save.offeredType = static_cast<int>(SendMessageA(typeBox, CB_GETCURSEL, 0, 0)) + 1;
    if (g_save.cancel) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (g_save.type > 0) {
        SendMessageA(typeBox, CB_SETCURSEL, static_cast<WPARAM>(g_save.type - 1), 0);
        // As a pick with the mouse: the selection changes, then is confirmed.
        for (const WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(typeBox));
        }
    }
    if (!g_save.typeName.empty()) SetWindowTextA(nameBox, g_save.typeName.c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// A symbolic link `link` in `folder` to the file `target` beside it. Wine's
// CreateSymbolicLink reports success and makes nothing, but Wine runs Unix
// programs, so there ln makes the link.
bool MakeLink(const std::string& folder, const std::string& link, const std::string& target) {
    const std::string path = folder + link;
    const auto exists = [&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; };
    constexpr DWORD kUnprivileged = 2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    if (CreateSymbolicLinkA(path.c_str(), target.c_str(), kUnprivileged) && exists()) return true;
    std::string command = "ln -s " + target + " " + link;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("Z:\\bin\\ln", &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // A Unix program's handle does not tell when it ends: wait for its work.
    for (int wait = 0; wait < 500 && !exists(); ++wait) Sleep(10);
    return exists();
}

class ExportWindow : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        if (HasFatalFailure()) return;
        exports_ = folder_.Path() + "exports\\";
        CreateDirectoryA(exports_.c_str(), nullptr);
        queryRows_ = kThreeRows;
        Click(BT_Search);
        ASSERT_EQ(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0), 3);
    }
    std::string Settings() const override {
        return "[Ionsift]\r\nDATABASE=samples\r\nMASS=100\r\nPPM=2\r\n";
    }

    // Right-clicks at `at` (list client coordinates): the popup opens and
    // closes again, having seen where the mouse was.
    void RightClickAt(POINT at) const {
        ClientToScreen(list_, &at);
        SetCursorPos(at.x, at.y);
        // The display takes the move later, and the moves it reports may
        // trail behind: wait until the pointer has stayed put for a while.
        int steady = 0;
        for (int wait = 0; wait < 300 && steady < 10; ++wait) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(10);
            POINT now{};
            GetCursorPos(&now);
            if (now.x == at.x && now.y == at.y) {
                ++steady;
            } else {
                steady = 0;
                SetCursorPos(at.x, at.y);
            }
        }
        EXPECT_EQ(steady, 10) << "the mouse did not stay where it was put";
        ReadPopup(list_, at);
    }
    POINT InCell(int row, int column) const {
        RECT cell{};
        cell.top = column;
        cell.left = LVIR_BOUNDS;
        SendMessageA(list_, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
        return {cell.left + 6, (cell.top + cell.bottom) / 2};
    }
    // The commands the host received for one menu entry (the base's Choose
    // gives only where they start).
    std::vector<std::string> Choose(int item) { return CommandsSince(ToolWindowTest::Choose(item)); }
    std::vector<std::string> Save(const SaveScript& script) {
        g_save = script;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveSaveDialog);
        std::vector<std::string> sent = Choose(PM_ResSave);
        KillTimer(nullptr, timer);
        EXPECT_TRUE(g_save.shown);
        return sent;
    }

    std::string exports_;
};

using Commands = std::vector<std::string>;

TEST_F(ExportWindow, CopySendsTheCellUnderTheMouseAndNothingFromBelowTheRows) {
    Select(1);
    RightClickAt(InCell(0, 1));  // the formula column; the selected row counts
    EXPECT_EQ(Choose(PM_ResCopy),
              (Commands{"Cursor Busy", "CopyText \"\"", "Cursor Default"}));
    Select(0);
    RightClickAt(InCell(0, 1));
    EXPECT_EQ(Choose(PM_ResCopy),
              (Commands{"Cursor Busy", "CopyText \"C6H12O6\"", "Cursor Default"}));
    RightClickAt(InCell(1, 0));
    EXPECT_EQ(Choose(PM_ResCopy),
              (Commands{"Cursor Busy", "CopyText \"" + Local("180.063388") + "\"", "Cursor Default"}));
    Select(1);
    RightClickAt(InCell(1, 2));
    EXPECT_EQ(Choose(PM_ResCopy),
              (Commands{"Cursor Busy", "CopyText \"100% \"pure\" water\"", "Cursor Default"}));

    // Below the last row: a row is selected, yet nothing is sent.
    RECT client{};
    GetClientRect(list_, &client);
    RightClickAt({10, client.bottom - 4});
    EXPECT_TRUE(Choose(PM_ResCopy).empty());
}

TEST_F(ExportWindow, CopyRowUsesSpacesAndCopyAllSendsTitlesAndEveryRowInTheOrderShown) {
    Select(2);
    EXPECT_EQ(Choose(PM_ResCopyRow),
              (Commands{"Cursor Busy", "CopyText \"" + Local("46.041865") + " C2H6O \"",
                        "Cursor Default"}));
    Select(1);
    EXPECT_EQ(Choose(PM_ResCopyRow),
              (Commands{"Cursor Busy",
                        "CopyText \"" + Local("18.010565") + "  100% \"pure\" water\"",
                        "Cursor Default"}));

    // Sorted by name: the empty name first.
    NMLISTVIEW click{};
    click.hdr = {list_, static_cast<UINT_PTR>(LV_Results), static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iItem = -1;
    click.iSubItem = 2;
    SendMessageA(GetParent(list_), WM_NOTIFY, LV_Results, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(Choose(PM_ResCopyAll),
              (Commands{"Cursor Busy",
                        "CopyText \"Mass; Formula; Name\r\n" + Local("46.041865") + "; C2H6O; \r\n" +
                            Local("18.010565") + "; ; 100% \"pure\" water\r\n" +
                            Local("180.063388") + "; C6H12O6; glucose\r\n\"",
                        "Cursor Default"}));
}

TEST_F(ExportWindow, TheFileTypeDecidesTheFormatAndTheDialogOffersTheLastChoiceAgain) {
    Select(0);
    const std::string csv = exports_ + "results.csv";
    SaveScript script;
    script.typeName = csv;
    script.type = 1;
    EXPECT_EQ(Save(script), (Commands{"Cursor Busy", "Cursor Default"}));
    EXPECT_EQ(g_save.offeredType, 1) << "CSV at first";
    EXPECT_EQ(g_save.offeredName, "");
    EXPECT_EQ(ReadFile(csv), "Mass; Formula; Name\r\n" + Local("180.063388") +
                                 "; C6H12O6; glucose\r\n" + Local("18.010565") +
                                 "; ; 100% \"pure\" water\r\n" + Local("46.041865") +
                                 "; C2H6O; \r\n");

    // Centred over the tool window (the screen is large enough for both).
    RECT owner{};
    GetWindowRect(main_, &owner);
    const RECT& placed = g_save.placed;
    EXPECT_LE(std::abs((placed.left + placed.right) - (owner.left + owner.right)), 2);
    EXPECT_LE(std::abs((placed.top + placed.bottom) - (owner.top + owner.bottom)), 2);

    // DIF chosen for a name with the CSV extension: DIF it is, replacing the
    // CSV file without a question.
    script.type = 2;
    EXPECT_EQ(Save(script), (Commands{"Cursor Busy", "Cursor Default"}));
    const std::string dif = ReadFile(csv);
    EXPECT_EQ(dif.rfind("TABLE\r\n0,1\r\n\"POCKETS\"\r\nVECTORS\r\n0,3\r\n\"\"\r\nTUPLES\r\n0,4\r\n", 0),
              0u);
    EXPECT_NE(dif.find("-1,0\r\nBOT\r\n0," + Local("18.010565") +
                       "\r\nV\r\n1,0\r\n\"\"\r\n1,0\r\n\"100% \"pure\" water\"\r\n-1,0\r\n"),
              std::string::npos);
    EXPECT_EQ(dif.substr(dif.size() - 11), "-1,0\r\nEOD\r\n");

    // The next save offers that name and type; taking them as they are
    // writes DIF again, now of the re-sorted list.
    NMLISTVIEW click{};
    click.hdr = {list_, static_cast<UINT_PTR>(LV_Results), static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iItem = -1;
    click.iSubItem = 0;
    SendMessageA(GetParent(list_), WM_NOTIFY, LV_Results, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(Save(SaveScript{}), (Commands{"Cursor Busy", "Cursor Default"}));
    EXPECT_EQ(g_save.offeredType, 2);
    EXPECT_GE(g_save.offeredName.size(), 11u);
    EXPECT_EQ(g_save.offeredName.substr(g_save.offeredName.size() - 11), "results.csv");
    const std::string again = ReadFile(csv);
    EXPECT_EQ(again.rfind("TABLE\r\n", 0), 0u);
    EXPECT_LT(again.find("0," + Local("18.010565")), again.find("0," + Local("46.041865")));

    // Cancel: no cursor, no file, no message.
    script = SaveScript{};
    script.cancel = true;
    EXPECT_TRUE(Save(script).empty());
    EXPECT_EQ(FilesIn(exports_), std::vector<std::string>{"results.csv"});
}

TEST_F(ExportWindow, AFailedSaveKeepsTheOldFileAndSaysSoASuccessfulOneReplacesIt) {
    Select(0);
    const std::string target = exports_ + "kept.csv";
    const std::string old = "old contents\r\nthat must survive\r\n";
    WriteFile(target, old);

    // Another program holds the file open, sharing reading and writing but
    // not its removal: a save that truncated it in place would destroy it.
    const HANDLE holder = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    SaveScript script;
    script.typeName = target;
    script.type = 1;
    EXPECT_EQ(Save(script), (Commands{"Cursor Busy", kCantWrite, "Cursor Default"}));
    CloseHandle(holder);
    EXPECT_EQ(ReadFile(target), old);
    EXPECT_EQ(FilesIn(exports_), std::vector<std::string>{"kept.csv"}) << "no file left behind";

    // Released, the same save replaces it.
    EXPECT_EQ(Save(script), (Commands{"Cursor Busy", "Cursor Default"}));
    EXPECT_EQ(ReadFile(target).rfind("Mass; Formula; Name\r\n" + Local("180.063388"), 0), 0u);
    EXPECT_EQ(FilesIn(exports_), std::vector<std::string>{"kept.csv"});
}

TEST_F(ExportWindow, ASaveThroughALinkReplacesTheFileItNames) {
    Select(0);
    const std::string csv = "Mass; Formula; Name\r\n" + Local("180.063388") + "; C6H12O6; glucose\r\n";
    // The file the link names gets the list; the link stays and names it.
    WriteFile(exports_ + "real.csv", "old contents\r\n");
    ASSERT_TRUE(MakeLink(exports_, "link.csv", "real.csv"));
    SaveScript script;
    script.typeName = exports_ + "link.csv";
    script.type = 1;
    EXPECT_EQ(Save(script), (Commands{"Cursor Busy", "Cursor Default"}));
    EXPECT_EQ(ReadFile(exports_ + "real.csv").rfind(csv, 0), 0u);
    WriteFile(exports_ + "real.csv", "changed later\r\n");
    EXPECT_EQ(ReadFile(exports_ + "link.csv"), "changed later\r\n") << "still a link";
    EXPECT_EQ(FilesIn(exports_), (std::vector<std::string>{"link.csv", "real.csv"}));
}

}  // namespace
}  // namespace ionsift::wintest
