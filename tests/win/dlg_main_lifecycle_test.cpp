// The tool window's life through the real Ionsift.dll behind a recording
// host: what Free saves however the window ended, which edit shortcuts count
// as changes, the first show and a reopened window, and what Free releases.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "resources/resource_ids.h"
#include "tests/win/tool_window_fixture.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;

constexpr int kMainWindowRequest = 101;
const char kSavedSamples[] = "[Ionsift]\r\nDATABASE=samples\r\nMASS=180\r\nMAXRESULTS=200\r\nPPM=2\r\n";

class Lifecycle : public ToolWindowTest {
protected:
    explicit Lifecycle(std::string settings = kSavedSamples,
                       const std::vector<std::string>& databases = {"samples", "natural"})
        : ToolWindowTest(databases), settings_(std::move(settings)) {}

    std::string Settings() const override { return settings_; }
    HostAnswer Answer(const std::string& command) override {
        if (command.rfind("IsoDist ", 0) == 0) return {0, "180.063388 100\n181.066743 6.86\n"};
        return ToolWindowTest::Answer(command);
    }
    void TearDown() override {
        Free();
        DestroyWindow(appWindow_);
    }
    void Free() {
        if (!freed_) plugin_.Free();
        freed_ = true;
    }

    std::string Setting(const char* key) const {
        char value[256] = {};
        GetPrivateProfileStringA("Ionsift", key, "<none>", value, sizeof value,
                                 folder_.SettingsPath().c_str());
        return value;
    }
    void Type(int id, const std::string& keys) const {
        for (char key : keys) SendMessageA(Item(id), WM_CHAR, static_cast<unsigned char>(key), 1);
    }
    // As the user picks an entry: the selection changes, then the parent hears of it.
    void Pick(const std::string& entry) const {
        const std::vector<std::string> entries = Entries();
        const auto index = std::find(entries.begin(), entries.end(), entry) - entries.begin();
        PickEntry(CB_Database, static_cast<int>(index));
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        const HWND selector = Item(CB_Database);
        const int count = static_cast<int>(SendMessageA(selector, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            SendMessageA(selector, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    int SelectedEntry() const {
        return static_cast<int>(SendMessageA(Item(CB_Database), CB_GETCURSEL, 0, 0));
    }
    // Ctrl+key as the edit receives it: the key going down, then the control
    // character that translating it brings.
    void PressControlKey(int id, WPARAM key, WPARAM character) const {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        SendMessageA(Item(id), WM_KEYDOWN, key, 1);
        SendMessageA(Item(id), WM_CHAR, character, 1);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    // What the window shows of its list and chart.
    std::string Shown() const {
        std::string shown;
        for (int row = 0; row < RowCount(); ++row) {
            for (int column = 0; column < 3; ++column) shown += Cell(row, column) + "|";
        }
        const std::vector<std::string> data =
            CommandsLike(Choose(PM_IC_CopyData), "CopyText ");
        return shown + " title " + TextOf(TC_IsoChart) + " count " + TextOf(LBL_FoundNumVal) +
               " data " + (data.empty() ? "none" : data[0]);
    }

    std::string settings_;
    bool freed_ = false;
};

// Regression: a host that destroyed its application window (and with it the
// tool window) before Free lost every setting of the session.
TEST_F(Lifecycle, InputsOfAWindowTheHostDestroyedAreSavedAtFree) {
    SetWindowTextA(Item(STR_Mass), "");
    Type(STR_Mass, "250.5");
    Pick("natural");
    DestroyWindow(appWindow_);
    EXPECT_FALSE(IsWindow(main_));
    EXPECT_EQ(host_.ClosedWindows(), std::vector<HWND>{main_}) << "told when it went";

    Free();
    EXPECT_EQ(host_.ClosedWindows(), std::vector<HWND>{main_}) << "and only then";
    EXPECT_EQ(Setting("MASS"), "250.5");
    EXPECT_EQ(Setting("DATABASE"), "natural");
    EXPECT_EQ(Setting("PPM"), "2");
    EXPECT_EQ(Setting("MAXRESULTS"), "200");
}

TEST_F(Lifecycle, ARequestAfterTheWindowWasDestroyedFromOutsideOpensANewOne) {
    SetWindowTextA(Item(STR_Mass), "");
    Type(STR_Mass, "250");
    const HWND first = main_;
    DestroyWindow(first);
    EXPECT_EQ(host_.ClosedWindows(), std::vector<HWND>{first});

    EXPECT_EQ(plugin_.Call(kMainWindowRequest), 1);
    ASSERT_EQ(host_.OpenedWindows().size(), 2u);
    main_ = host_.OpenedWindows().back();
    list_ = Item(LV_Results);
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_EQ(TextOf(STR_Mass), "250") << "the new window starts from what the old one held";

    Free();
    EXPECT_EQ(host_.ClosedWindows(), (std::vector<HWND>{first, main_}));
}

// Only the shortcuts that change the text count as a change of the settings.
struct Shortcut {
    const char* name;
    WPARAM key;
    WPARAM character;
    bool counts;
};

class EditShortcut : public Lifecycle, public ::testing::WithParamInterface<Shortcut> {
protected:
    EditShortcut() : Lifecycle("") {}
};

// Regression: Ctrl+C or Ctrl+A alone made Free rewrite the settings file.
TEST_P(EditShortcut, CountsAsAChangeOnlyWhenItChangesText) {
    for (int id : {STR_Mass, STR_Ppm, STR_MaxResults}) {
        SetWindowTextA(Item(id), "12");  // from code: no change
        SetFocus(Item(id));
        SendMessageA(Item(id), EM_SETSEL, 0, -1);
        PressControlKey(id, GetParam().key, GetParam().character);
    }
    Free();
    EXPECT_EQ(folder_.ReadSettings() != "", GetParam().counts) << folder_.ReadSettings();
}

INSTANTIATE_TEST_SUITE_P(Keys, EditShortcut,
                         ::testing::Values(Shortcut{"Copy", 'C', 0x03, false},
                                           Shortcut{"SelectAll", 'A', 0x01, false},
                                           Shortcut{"Cut", 'X', 0x18, true},
                                           Shortcut{"Undo", 'Z', 0x1A, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Lifecycle, ClosingAndReopeningShowsTheSameListAndChart) {
    queryRows_ = "31;180.063388;C6H12O6;glucose\n7;18.010565;H2O;water\n";
    Click(BT_Search);
    Select(0);
    Choose(PM_ResIsoDist);
    SetWindowTextA(Item(ME_ExData), "180.06 100");
    Click(BT_ExUpdate);
    const std::string before = Shown();
    ASSERT_NE(before.find("glucose"), std::string::npos);
    ASSERT_NE(before.find("Rms"), std::string::npos);

    SendMessageA(main_, WM_CLOSE, 0, 0);
    ASSERT_FALSE(IsWindowVisible(main_));
    EXPECT_EQ(plugin_.Call(kMainWindowRequest), 1);
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_EQ(host_.OpenedWindows().size(), 1u);
    EXPECT_EQ(Shown(), before);
}

class MissingDatabase : public Lifecycle {
protected:
    MissingDatabase() : Lifecycle("[Ionsift]\r\nDATABASE=gone\r\nMASS=180\r\n") {}
};

TEST_F(MissingDatabase, LeavesThePromptAndOpensNothing) {
    EXPECT_EQ(SelectedEntry(), 0);
    EXPECT_TRUE(CommandsLike(0, "DbOpen").empty());
    EXPECT_FALSE(IsWindowEnabled(Item(BT_Search)));
}

class AnsiCase : public Lifecycle {
protected:
    // "\xC9THER" and "\xE9ther": ÉTHER and éther in the ANSI code page.
    AnsiCase() : Lifecycle("[Ionsift]\r\nDATABASE=\xC9THER\r\n", {"samples", "\xE9ther"}) {}
};

TEST_F(AnsiCase, TheSavedDatabaseIsFoundIgnoringTheCaseOfAccentedLetters) {
    if (GetACP() != 1252) GTEST_SKIP() << "the names are Windows-1252 text";
    ASSERT_GT(SelectedEntry(), 0);
    EXPECT_EQ(Entries()[static_cast<std::size_t>(SelectedEntry())], "\xE9ther");
    EXPECT_EQ(CommandsLike(0, "DbOpen").size(), 1u);
}

class Catalogue : public Lifecycle {
protected:
    Catalogue() : Lifecycle("", {"zeta", "alpha", "natural", "Mid", "beta", "omega", "aspirin"}) {}
};

TEST_F(Catalogue, ListsTheDatabasesInTheFileSystemsOrder) {
    std::vector<std::string> listed = {"Choose the database"};
    WIN32_FIND_DATAA entry{};
    const HANDLE search =
        FindFirstFileA((folder_.Path() + "Data\\Databases\\*.db").c_str(), &entry);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        const std::string name = entry.cFileName;
        listed.push_back(name.substr(0, name.size() - 3));
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    EXPECT_EQ(Entries(), listed);
}

// The host's main window, where the tool window first appears.
class OverTheHost : public Lifecycle {
protected:
    void SetUp() override {
        hostMain_ = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150,
                                    800, 600, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hostMain_, nullptr);
        host_.Context().mainWindow = hostMain_;
        Lifecycle::SetUp();
    }
    void TearDown() override {
        Lifecycle::TearDown();
        DestroyWindow(hostMain_);
    }
    HWND hostMain_ = nullptr;
};

TEST_F(OverTheHost, TheFirstShowCentresTheWindowOverTheHostsMainWindowLaterOnesKeepItsPlace) {
    RECT host{}, tool{};
    GetWindowRect(hostMain_, &host);
    GetWindowRect(main_, &tool);
    EXPECT_NEAR((tool.left + tool.right) / 2.0, (host.left + host.right) / 2.0, 1.0);
    EXPECT_NEAR((tool.top + tool.bottom) / 2.0, (host.top + host.bottom) / 2.0, 1.0);

    SetWindowPos(main_, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(main_, WM_CLOSE, 0, 0);
    plugin_.Call(kMainWindowRequest);
    GetWindowRect(main_, &tool);
    EXPECT_EQ(tool.left, 20);
    EXPECT_EQ(tool.top, 30);
}

// --- what Free releases ------------------------------------------------------

HBITMAP g_tile = nullptr;

HBITMAP WINAPI RecordingLoadBitmap(HINSTANCE module, LPCSTR name) {
    const HBITMAP bitmap = LoadBitmapA(module, name);
    if (name == MAKEINTRESOURCEA(IDB_BACKGROUND)) g_tile = bitmap;
    return bitmap;
}

TEST(PluginRelease, FreeDeletesTheBackgroundTileInitLoaded) {
    Plugin plugin;
    ASSERT_TRUE(plugin.Loaded());
    void** slot = ImportSlot(plugin.Module(), "user32.dll", "LoadBitmapA");
    ASSERT_NE(slot, nullptr);
    *slot = reinterpret_cast<void*>(&RecordingLoadBitmap);

    RecordingHost host;
    g_tile = nullptr;
    plugin.Init(host.Context());
    ASSERT_NE(g_tile, nullptr);
    EXPECT_EQ(GetObjectType(g_tile), static_cast<DWORD>(OBJ_BITMAP));
    plugin.Free();
    EXPECT_EQ(GetObjectType(g_tile), 0u);
}

}  // namespace
}  // namespace ionsift::wintest
