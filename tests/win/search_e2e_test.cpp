// End to end: the real Ionsift.dll searching the sample database through the
// stand-in host's own command interpreter, driven as the user drives it.
// Registered under a point and a comma locale.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "tests/win/plugin_harness.h"
#include "tests/win/stand_in_host_win.h"
#include "tests/win/user_locale.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;

constexpr int kMainWindowRequest = 101;
constexpr double kGlucoseMass = 180.063388;
// D-glucose (open chain), as the sample database names it.
constexpr const char* kGlucoseName = "(2R,3S,4R,5R)-2,3,4,5,6-Pentahydroxyhexanal";

struct ListedRow {
    std::string mass, formula, name;
};

class SearchEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(plugin_.Loaded());
        separator_ = UserLocaleSeparator();
        ASSERT_TRUE(SeparatorAsRegistered(separator_)) << "user locale gives " << separator_;
        ASSERT_TRUE(CopyFileA((StageDirectory() + "Data\\Databases\\structures.db").c_str(),
                              (folder_.Path() + "Data\\Databases\\structures.db").c_str(), FALSE))
            << "the staged sample database";
        appWindow_ = CreateHostAppWindow();
        host_.Context().appWindow = appWindow_;
        folder_.UseIn(host_.Context());
        plugin_.Init(host_.Context());
        ASSERT_EQ(plugin_.Call(kMainWindowRequest), 1);
        ASSERT_FALSE(host_.Recording().OpenedWindows().empty());
        main_ = host_.Recording().OpenedWindows().back();
        list_ = Item(LV_Results);
        ASSERT_NE(list_, nullptr);
    }
    void TearDown() override {
        plugin_.Free();
        DestroyWindow(appWindow_);
    }

    HWND Item(int id) const { return FindControl(main_, id); }
    std::string TextOf(int id) const {
        char text[256] = {};
        GetWindowTextA(Item(id), text, sizeof text);
        return text;
    }
    // Picks the database as the user does: the selection, then its notification.
    void PickDatabase(const std::string& name) const {
        HWND selector = Item(CB_Database);
        const LRESULT index =
            SendMessageA(selector, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(name.c_str()));
        ASSERT_GT(index, 0) << name << " is listed";
        SendMessageA(selector, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(GetParent(selector), WM_COMMAND, MAKEWPARAM(CB_Database, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(selector));
    }
    // Replaces an input's text by typing, "." standing for the user's separator.
    void Type(int id, const std::string& keys) const {
        SetWindowTextA(Item(id), "");
        for (char key : keys) {
            const char typed = key == '.' ? separator_ : key;
            SendMessageA(Item(id), WM_CHAR, static_cast<unsigned char>(typed), 1);
        }
    }
    void Search(const std::string& mass, const std::string& ppm) const {
        Type(STR_Mass, mass);
        Type(STR_Ppm, ppm);
        ASSERT_TRUE(IsWindowEnabled(Item(BT_Search)));
        SendMessageA(Item(BT_Search), BM_CLICK, 0, 0);
    }

    std::string Cell(int row, int column) const {
        char text[256] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }
    std::vector<ListedRow> Rows() const {
        std::vector<ListedRow> rows;
        const int count = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            rows.push_back({Cell(i, 0), Cell(i, 1), Cell(i, 2)});
        }
        return rows;
    }
    // A caption of the Mass column as a number: it carries the user's separator.
    double MassOf(std::string caption) const {
        std::replace(caption.begin(), caption.end(), separator_, '.');
        char* end = nullptr;
        const double value = std::strtod(caption.c_str(), &end);
        EXPECT_EQ(*end, '\0') << caption;
        return value;
    }
    void DoubleClickRow(int row) const {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&state));
        NMITEMACTIVATE click{};
        click.hdr.hwndFrom = list_;
        click.hdr.idFrom = LV_Results;
        click.hdr.code = NM_DBLCLK;
        click.iItem = row;
        SendMessageA(GetParent(list_), WM_NOTIFY, LV_Results, reinterpret_cast<LPARAM>(&click));
    }
    std::vector<std::string> PluginCommands(const std::string& word) const {
        return host_.Recording().CommandsStartingWith(word + " ");
    }
    // The database handle of the plug-in's last query.
    std::string QueriedHandle() const {
        const std::vector<std::string> queries = PluginCommands("DbSqlExec");
        if (queries.empty()) return "";
        const std::string& last = queries.back();
        const std::size_t start = std::string("DbSqlExec ").size();
        return last.substr(start, last.find(' ', start) - start);
    }
    // Every busy cursor the plug-in asked for was taken back.
    void ExpectCursorRestored() const {
        const std::vector<bool>& changes = host_.Services().busyChanges;
        ASSERT_FALSE(changes.empty());
        EXPECT_FALSE(changes.back());
        EXPECT_EQ(std::count(changes.begin(), changes.end(), true),
                  std::count(changes.begin(), changes.end(), false));
    }

    StandInHost host_;
    TempHostFolder folder_;
    Plugin plugin_;
    HWND appWindow_ = nullptr;
    HWND main_ = nullptr;
    HWND list_ = nullptr;
    char separator_ = '.';
};

TEST_F(SearchEndToEnd, GlucoseMassAtFivePpmFindsGlucoseAndDoubleClickLoadsIt) {
    PickDatabase("structures");
    ASSERT_EQ(host_.Databases().OpenCount(), 1u);
    Search("180.063388", "5");

    const std::vector<ListedRow> rows = Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(TextOf(LBL_FoundNumVal), std::to_string(rows.size()));
    const double tolerance = kGlucoseMass * 5e-6;
    double previous = 0;
    for (const ListedRow& row : rows) {
        const double mass = MassOf(row.mass);
        // The bounds go to the host with six decimals.
        EXPECT_GT(mass, kGlucoseMass - tolerance - 1e-6) << row.name;
        EXPECT_LT(mass, kGlucoseMass + tolerance + 1e-6) << row.name;
        EXPECT_GE(mass, previous) << "ascending by mass";
        previous = mass;
        EXPECT_EQ(row.mass.find(separator_ == '.' ? ',' : '.'), std::string::npos) << row.mass;
    }
    const auto glucose = std::find_if(rows.begin(), rows.end(),
                                      [](const ListedRow& row) { return row.name == kGlucoseName; });
    ASSERT_NE(glucose, rows.end());
    EXPECT_EQ(glucose->formula, "C6H12O6");
    EXPECT_EQ(glucose->mass, std::string("180") + separator_ + "063388");
    ExpectCursorRestored();

    DoubleClickRow(static_cast<int>(glucose - rows.begin()));
    const std::vector<std::string> loads = PluginCommands("DbGetRowId");
    ASSERT_EQ(loads.size(), 1u);
    // The ID the database holds for the row, asked from the host's side.
    const host::CommandResult id = host_.Execute(
        "DbSqlExec " + QueriedHandle() + " \"SELECT ID FROM Molecules WHERE Name = '" +
        kGlucoseName + "'\"");
    ASSERT_EQ(id.error, host::kCommandOk);
    EXPECT_EQ(loads[0], "DbGetRowId " + QueriedHandle() + " " +
                            id.answer.substr(0, id.answer.find('\n')) + " Replace");
    ASSERT_EQ(host_.Services().shownMolecules.size(), 1u);
    EXPECT_EQ(host_.Services().shownMolecules[0].name, kGlucoseName);
    EXPECT_EQ(host_.Services().shownMolecules[0].formula, "C6H12O6");
    EXPECT_TRUE(host_.Services().messageBoxes.empty());
    ExpectCursorRestored();
}

// The host lost the database the plug-in had open (closed from its command
// box): the next search reopens it once and still lists the candidates.
TEST_F(SearchEndToEnd, ASearchOnAHandleTheHostClosedReopensOnceAndFindsTheRows) {
    PickDatabase("structures");
    Search("180.063388", "5");
    const std::size_t found = Rows().size();
    ASSERT_GT(found, 0u);
    const std::vector<std::string> first = PluginCommands("DbSqlExec");
    ASSERT_EQ(first.size(), 1u);
    const std::string handle = QueriedHandle();
    ASSERT_EQ(host_.Execute("DbClose " + handle).error, host::kCommandOk);

    Search("180.063388", "5");
    const std::vector<std::string> queries = PluginCommands("DbSqlExec");
    ASSERT_EQ(queries.size(), 3u) << "the failed query and one after the reopen";
    EXPECT_EQ(queries[1], first[0]);
    EXPECT_NE(QueriedHandle(), handle);
    EXPECT_EQ(queries[2].substr(10 + QueriedHandle().size()),
              queries[1].substr(10 + handle.size()))
        << "the same query with the new handle";
    EXPECT_EQ(PluginCommands("DbOpen").size(), 2u);
    EXPECT_EQ(Rows().size(), found);
    EXPECT_EQ(TextOf(LBL_FoundNumVal), std::to_string(found));
    ExpectCursorRestored();
}

TEST_F(SearchEndToEnd, AWindowWithoutMoleculesEmptiesTheList) {
    PickDatabase("structures");
    Search("180.063388", "5");
    ASSERT_FALSE(Rows().empty());
    Search("3.5", "1");
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(TextOf(LBL_FoundNumVal), "0");
    ExpectCursorRestored();
}

// The distribution of the chosen candidate comes from the host's own IsoDist:
// "Copy data" puts the host's peaks on its clipboard with eight decimals and
// the user's separator, and the same peaks sent back as experimental data
// match them exactly.
TEST_F(SearchEndToEnd, GlucoseDistributionComesFromTheHostAndMatchesItself) {
    PickDatabase("structures");
    Search("180.063388", "5");
    const std::vector<ListedRow> rows = Rows();
    const auto glucose = std::find_if(rows.begin(), rows.end(),
                                      [](const ListedRow& row) { return row.name == kGlucoseName; });
    ASSERT_NE(glucose, rows.end());
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(glucose - rows.begin()),
                 reinterpret_cast<LPARAM>(&state));
    SendMessageA(main_, WM_COMMAND, PM_ResIsoDist, 0);
    EXPECT_EQ(PluginCommands("IsoDist"), (std::vector<std::string>{"IsoDist C6H12O6"}));

    // The rows the plug-in should copy, from the host's answer read here.
    const host::CommandResult peaks = host_.Execute("IsoDist C6H12O6");
    ASSERT_EQ(peaks.error, host::kCommandOk);
    std::string expected;
    const char* at = peaks.answer.c_str();
    for (;;) {
        char* end = nullptr;
        const double mass = std::strtod(at, &end);
        if (end == at) break;
        const double abundance = std::strtod(end, &end);
        char row[96];
        std::snprintf(row, sizeof row, "%.8f %.8f\r\n", mass, abundance);
        if (abundance != 0) expected += row;
        at = end;
    }
    ASSERT_GE(expected.size(), 2 * 20u) << "at least two peaks";
    std::replace(expected.begin(), expected.end(), '.', separator_);
    SendMessageA(main_, WM_COMMAND, PM_IC_CopyData, 0);
    EXPECT_EQ(PluginCommands("CopyText").size(), 1u);
    EXPECT_EQ(host_.Services().clipboard, expected);

    SendMessageA(main_, WM_COMMAND, PM_IC_SendExp, 0);
    EXPECT_EQ(TextOf(ME_ExData).substr(0, 20), expected.substr(0, 20));
    SendMessageA(Item(BT_ExUpdate), BM_CLICK, 0, 0);
    EXPECT_EQ(TextOf(TC_IsoChart), std::string("Rms = 0") + separator_ + "00");
    ExpectCursorRestored();
}

}  // namespace
}  // namespace ionsift::wintest
