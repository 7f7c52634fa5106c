// The ion search of the real Ionsift.dll behind a recording host: the
// selector and its setting, the query for each ion, the Error and Rms
// columns, the ion's IsoDist drawn at m/z, the ranking from scripted
// answers and Copy table. Registered under a point and a comma locale.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "resources/dlg_ions_ids.h"
#include "resources/dlg_main_ids.h"
#include "tests/win/tool_window_fixture.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;

const char kSugarsAndMore[] =
    "31;180.063388;C6H12O6;glucose\n"
    "32;180.0634;C6H12O6;fructose\n"
    "5;78.04695;C6H6;benzene\n"
    "7;18.010565;H2O;water\n";
// The host's distribution of glucose with sodium, in masses of neutral atoms.
const char kGlucoseSodium[] = "203.053157 100\n204.056512 6.5\n";

class IonWindow : public ToolWindowTest {
protected:
    IonWindow() { queryRows_ = kSugarsAndMore; }

    std::string Settings() const override {
        return "[Ionsift]\r\nDATABASE=samples\r\nMASS=300\r\nMAXRESULTS=200\r\nPPM=5\r\n" + ion_;
    }
    HostAnswer Answer(const std::string& command) override {
        if (command == "IsoDist C6H12NaO6") return {0, kGlucoseSodium};
        if (command == "IsoDist C6H6Na") return {0, "101.036 100\n102.04 6.6\n"};
        if (command.rfind("IsoDist ", 0) == 0) return {3, "bad formula"};
        return ToolWindowTest::Answer(command);
    }

    // The selector's entry of that text ("M (neutral)" or a notation).
    void ChooseIon(const std::string& entry) const {
        const LRESULT index = SendMessageA(Item(CB_Ion), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(entry.c_str()));
        ASSERT_GE(index, 0) << entry;
        PickEntry(CB_Ion, static_cast<int>(index));
    }
    std::string ChosenIon() const {
        char text[64] = {};
        const LRESULT index = SendMessageA(Item(CB_Ion), CB_GETCURSEL, 0, 0);
        SendMessageA(Item(CB_Ion), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::size_t Search(const std::string& value) {
        SetWindowTextA(Item(STR_Mass), Local(value).c_str());
        const std::size_t mark = host_.Commands().size();
        Click(BT_Search);
        return mark;
    }
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> cells;
        for (int i = 0; i < RowCount(); ++i) cells.push_back(Cell(i, column));
        return cells;
    }
    void ClickColumn(int column) const {
        NMLISTVIEW click{};
        click.hdr = {list_, static_cast<UINT_PTR>(LV_Results), static_cast<UINT>(LVN_COLUMNCLICK)};
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageA(GetParent(list_), WM_NOTIFY, LV_Results, reinterpret_cast<LPARAM>(&click));
    }
    void Update(const std::string& peaks) const {
        SetWindowTextA(Item(ME_ExData), Local(peaks).c_str());
        Click(BT_ExUpdate);
    }
    MenuItems Popup() const {
        POINT at{10, 10};
        ClientToScreen(list_, &at);
        return ReadPopup(list_, at);
    }

    std::string ion_;
};

struct IonQuery {
    int entry;
    const char* lower;
    const char* upper;
};

TEST_F(IonWindow, EachIonSendsTheSelectWithItsMzBoundsTurnedIntoNeutralMasses) {
    const std::vector<std::string> entries = {"M (neutral)", "[M+H]+",  "[M+Na]+",
                                              "[M+K]+",      "[M+NH4]+", "[M+2H]2+",
                                              "[M-H]-",      "[M+Cl]-", "[M+HCOO]-"};
    // The nine ions of earlier versions among the built-in table's, neutral
    // first, "Several ions..." last.
    ASSERT_EQ(SendMessageA(Item(CB_Ion), CB_GETCOUNT, 0, 0), 44);
    EXPECT_EQ(ChosenIon(), "M (neutral)");
    // 300 +- 5 ppm as each ion: (m/z -+ 0.0015) |z| - added + removed + z me,
    // worked out beforehand to 40 digits from the isotope masses.
    const IonQuery queries[] = {
        {0, "299.998500", "300.001500"}, {1, "298.991224", "298.994224"},
        {2, "277.009279", "277.012279"}, {3, "261.035342", "261.038342"},
        {4, "281.964674", "281.967674"}, {5, "597.982447", "597.988447"},
        {6, "301.005776", "301.008776"}, {7, "265.029099", "265.032099"},
        {8, "255.000297", "255.003297"},
    };
    for (const IonQuery& query : queries) {
        ChooseIon(entries[static_cast<std::size_t>(query.entry)]);
        EXPECT_EQ(TextOf(LBL_Mass), query.entry == 0 ? "Monoisotopic mass:" : "m/z:");
        const std::size_t mark = Search("300");
        EXPECT_EQ(CommandsLike(mark, "DbSqlExec"),
                  (std::vector<std::string>{
                      "DbSqlExec H1 \"SELECT ID, MassMI, Formula, Name FROM Molecules WHERE (MassMI > " +
                      std::string(query.lower) + ") AND (MassMI < " + query.upper +
                      ") ORDER BY MassMI ASC LIMIT 200\""}))
            << entries[static_cast<std::size_t>(query.entry)];
    }
    // An m/z below sodium's own mass is no [M+Na]+: nothing is asked, the list is empty.
    ChooseIon("[M+Na]+");
    const std::size_t mark = Search("20");
    EXPECT_TRUE(CommandsLike(mark, "Db").empty());
    EXPECT_EQ(CommandsLike(mark, "Cursor "), (std::vector<std::string>{"Cursor Busy", "Cursor Default"}));
    EXPECT_EQ(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(TextOf(LBL_FoundNumVal), "0");
}

TEST_F(IonWindow, ErrorAndRmsColumnsFollowNameAndSortByMagnitudeAndValue) {
    const char* titles[] = {"Error (ppm)", "Rms"};
    for (int i = 0; i < 2; ++i) {
        char text[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(list_, LVM_GETCOLUMNA, 3 + i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(text, titles[i]);
    }
    // Neutral: the row's own mass is the theoretical one.
    Search("180.0634");
    EXPECT_EQ(Column(3), (std::vector<std::string>{Local("+0.07"), Local("+0.00"),
                                                   Local("+1307116.42"), Local("+8997654.15")}));
    // As [M+Na]+ the mass column keeps the neutral masses; the error is the m/z's.
    ChooseIon("[M+Na]+");
    Search("203.053");
    EXPECT_EQ(Column(0)[0], Local("180.063388"));
    EXPECT_EQ(Column(3)[0], Local("+1.93"));
    EXPECT_EQ(Column(3)[1], Local("+1.87"));
    EXPECT_EQ(Column(4), std::vector<std::string>(4, ""));
    ClickColumn(3);  // by magnitude: fructose's 1.87 first
    EXPECT_EQ(Column(2), (std::vector<std::string>{"fructose", "glucose", "benzene", "water"}));
    ClickColumn(3);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"water", "benzene", "glucose", "fructose"}));
}

TEST_F(IonWindow, TheIonsDistributionIsAskedForByItsFormulaAndDrawnAtMz) {
    ChooseIon("[M+Na]+");
    Search("203.053");
    Select(0);
    std::size_t mark = Choose(PM_ResIsoDist);
    EXPECT_EQ(CommandsLike(mark, "IsoDist"), (std::vector<std::string>{"IsoDist C6H12NaO6"}));
    // One electron less than the host's masses, as Copy data carries them.
    const std::string drawn = "CopyText \"" + Local("203.05260842 100.00000000") + "\r\n" +
                              Local("204.05596342 6.50000000") + "\r\n\"";
    mark = Choose(PM_IC_CopyData);
    EXPECT_EQ(CommandsLike(mark, "CopyText"), (std::vector<std::string>{drawn}));

    // [M-H]- of water takes its hydrogen; [M-H]- needs one, so Cl2 draws nothing.
    queryRows_ = "9;69.937705;Cl2;chlorine\n";
    ChooseIon("[M-H]-");
    Search("70.9");
    Select(0);
    mark = Choose(PM_ResIsoDist);
    EXPECT_TRUE(CommandsLike(mark, "IsoDist").empty());
    // Nothing of the previous row stays under this one; the status bar says why.
    mark = Choose(PM_IC_CopyData);
    EXPECT_TRUE(CommandsLike(mark, "CopyText").empty()) << "no sticks left";
    char title[64] = {};
    GetWindowTextA(Item(TC_IsoChart), title, sizeof title);
    EXPECT_STREQ(title, "");
    char status[256] = {};
    // The bar in its simple mode: the message is part 0.
    SendMessageA(Item(SB_Status), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(status));
    EXPECT_STREQ(status, "No distribution: Cl2 lacks the atoms that [M-H]- takes away");
}

TEST_F(IonWindow, RankingAsksOncePerFormulaFillsRmsAndSortsTheRows) {
    ChooseIon("[M+Na]+");
    Search("203.0526");
    MenuItems menu = Popup();
    ASSERT_GE(menu.ids.size(), 2u);
    EXPECT_EQ(std::vector<UINT>(menu.ids.end() - 2, menu.ids.end()),
              (std::vector<UINT>{PM_ResRank, PM_ResCopyTable}));
    EXPECT_FALSE(menu.enabled[menu.ids.size() - 2]) << "no measured peaks yet";
    EXPECT_TRUE(menu.enabled.back());

    Update("203.0526 100\n204.0559 6.6\n");
    EXPECT_TRUE(Popup().enabled[menu.ids.size() - 2]);
    std::size_t mark = Choose(PM_ResRank);
    EXPECT_EQ(CommandsLike(mark, "IsoDist"),
              (std::vector<std::string>{"IsoDist C6H12NaO6", "IsoDist C6H6Na", "IsoDist H2NaO"}));
    EXPECT_EQ(CommandsLike(mark, "Cursor "), (std::vector<std::string>{"Cursor Busy", "Cursor Default"}));
    // The isomers share their RMS; glucose lies nearer the measured m/z.
    EXPECT_EQ(Column(2), (std::vector<std::string>{"glucose", "fructose", "benzene", "water"}));
    const std::vector<std::string> rms = Column(4);
    EXPECT_EQ(rms[0], Local("0.07"));
    EXPECT_EQ(rms[1], rms[0]);
    EXPECT_EQ(rms[3], "") << "the host refused the formula";

    // The RMS is the one the chart's title shows for that row.
    Select(2);
    Choose(PM_ResIsoDist);
    char title[64] = {};
    GetWindowTextA(Item(TC_IsoChart), title, sizeof title);
    EXPECT_EQ(std::string(title), "Rms = " + rms[2]);

    // Update ranks again; a new search empties the column.
    mark = host_.Commands().size();
    Update("203.0526 100\n");
    EXPECT_EQ(CommandsLike(mark, "IsoDist").size(), 3u);
    Search("203.0526");
    EXPECT_EQ(Column(4), std::vector<std::string>(4, ""));
}

TEST_F(IonWindow, CopyTableSendsEveryColumnTabSeparatedWithTitlesAndCrLf) {
    ChooseIon("[M+Na]+");
    Search("203.0526");
    Update("203.0526 100\n204.0559 6.6\n");
    Choose(PM_ResRank);
    const std::size_t mark = Choose(PM_ResCopyTable);
    // Every column shown, the Ion column after Name, then the ion formula and
    // the m/z calculated ((M + Na - me), NIST masses) and measured.
    const std::vector<std::string> score = Column(5);
    const std::string expected =
        "CopyText \"Mass\tFormula\tName\tIon\tError (ppm)\tRms\tScore\tIon formula\t"
        "m/z (calc.)\tm/z (measured)\r\n" +
        Local("180.063388\tC6H12O6\tglucose\t[M+Na]+\t-0.04\t0.07\t") + score[0] +
        Local("\tC6H12NaO6\t203.052609\t203.052600\r\n") +
        Local("180.0634\tC6H12O6\tfructose\t[M+Na]+\t-0.10\t0.07\t") + score[1] +
        Local("\tC6H12NaO6\t203.052621\t203.052600\r\n") +
        Local("78.04695\tC6H6\tbenzene\t[M+Na]+\t+1009702.06\t") + Column(4)[2] + "\t" + score[2] +
        Local("\tC6H6Na\t101.036171\t203.052600\r\n") +
        Local("18.010565\tH2O\twater\t[M+Na]+\t+3952528.32\t\t") + score[3] +
        Local("\tH2NaO\t40.999786\t203.052600\r\n") + "\"";
    EXPECT_EQ(CommandsLike(mark, "CopyText"), (std::vector<std::string>{expected}));
    // Copy all keeps its three columns.
    const std::size_t all = Choose(PM_ResCopyAll);
    ASSERT_EQ(CommandsLike(all, "CopyText").size(), 1u);
    EXPECT_EQ(CommandsLike(all, "CopyText")[0].find("Rms"), std::string::npos);
}

class IonSettings : public IonWindow {
protected:
    IonSettings() { ion_ = "ION=[M+K]+\r\n"; }
    void Free() {
        plugin_.Free();
        freed_ = true;
    }
    void TearDown() override {
        if (!freed_) plugin_.Free();
        DestroyWindow(appWindow_);
    }
    bool freed_ = false;
};

TEST_F(IonSettings, TheSavedIonIsChosenAndDefaultWritesTheNeutralMoleculeBack) {
    EXPECT_EQ(ChosenIon(), "[M+K]+");
    EXPECT_EQ(TextOf(LBL_Mass), "m/z:");
    Click(BT_Default);
    EXPECT_EQ(ChosenIon(), "M (neutral)");
    EXPECT_EQ(TextOf(LBL_Mass), "Monoisotopic mass:");
    Free();
    EXPECT_NE(folder_.ReadSettings().find("ION=M\r\n"), std::string::npos) << folder_.ReadSettings();
}

TEST_F(IonWindow, TheKeyIsWrittenOnlyWhenTheChoiceChanged) {
    // A change of tolerance alone: the four keys, no ION.
    SetWindowTextA(Item(STR_Ppm), "3");
    SendMessageA(Item(STR_Ppm), WM_CHAR, '3', 1);
    plugin_.Free();
    EXPECT_EQ(folder_.ReadSettings().find("ION="), std::string::npos) << folder_.ReadSettings();
    EXPECT_NE(folder_.ReadSettings().find("PPM="), std::string::npos);

    // Reopened, [M+Na]+ chosen: written, and read back next time.
    plugin_.Init(host_.Context());
    ASSERT_EQ(plugin_.Call(101), 1);
    main_ = host_.OpenedWindows().back();
    ChooseIon("[M+Na]+");
    EXPECT_EQ(TextOf(LBL_Mass), "m/z:");
    plugin_.Free();
    EXPECT_NE(folder_.ReadSettings().find("ION=[M+Na]+\r\n"), std::string::npos) << folder_.ReadSettings();
    plugin_.Init(host_.Context());
    ASSERT_EQ(plugin_.Call(101), 1);
    main_ = host_.OpenedWindows().back();
    EXPECT_EQ(ChosenIon(), "[M+Na]+");
}

// The Ions dialog, driven from a timer inside its modal loop: the last
// entry of the selector opens it, `act` works it and leaves it.
std::function<void(HWND)> g_dialogAct;
bool g_dialogSeen = false;

BOOL CALLBACK FindIonsDialog(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && GetDlgItem(window, dlg_ions::LV_Positive)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK VisitIonsDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindIonsDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, timer);
    g_dialogSeen = true;
    g_dialogAct(dialog);
}

class IonSet : public IonWindow {
protected:
    // Picks "Several ions..." and works the dialog while it is up.
    void WorkIonsDialog(std::function<void(HWND)> act) {
        g_dialogAct = std::move(act);
        g_dialogSeen = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, VisitIonsDialog);
        const int last = static_cast<int>(SendMessageA(Item(CB_Ion), CB_GETCOUNT, 0, 0)) - 1;
        PickEntry(CB_Ion, last);
        KillTimer(nullptr, timer);
        EXPECT_TRUE(g_dialogSeen);
    }
    // Checks these ions (and only these) and presses OK.
    void ChooseIons(const std::vector<std::string>& ions) {
        WorkIonsDialog([&ions](HWND dialog) {
            for (int id : {dlg_ions::LV_Positive, dlg_ions::LV_Negative}) {
                const HWND list = GetDlgItem(dialog, id);
                for (int i = 0; i < ListView_GetItemCount(list); ++i) {
                    const std::string text = ItemText(list, i);
                    ListView_SetCheckState(list, i, std::find(ions.begin(), ions.end(), text) != ions.end());
                }
            }
            Press(dialog, dlg_ions::BT_Ok);
        });
    }
    static std::string ItemText(HWND list, int item) {
        char text[64] = {};
        ListView_GetItemText(list, item, 0, text, sizeof text);
        return text;
    }
    static std::vector<std::string> Items(HWND list, bool checkedOnly = false) {
        std::vector<std::string> items;
        for (int i = 0; i < ListView_GetItemCount(list); ++i) {
            if (!checkedOnly || ListView_GetCheckState(list, i)) items.push_back(ItemText(list, i));
        }
        return items;
    }
    static void Press(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    static std::string Text(HWND dialog, int id) {
        char text[256] = {};
        GetWindowTextA(GetDlgItem(dialog, id), text, sizeof text);
        return text;
    }
    static void Type(HWND dialog, const char* text) {
        SetWindowTextA(GetDlgItem(dialog, dlg_ions::STR_NewIon), text);
    }
    static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    static void SelectItem(HWND list, int item) {
        ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    std::string Select0Sql(const char* lower, const char* upper) const {
        return "DbSqlExec H1 \"SELECT ID, MassMI, Formula, Name FROM Molecules WHERE (MassMI > " +
               std::string(lower) + ") AND (MassMI < " + upper + ") ORDER BY MassMI ASC LIMIT 200\"";
    }
};

TEST_F(IonSet, TheDialogListsEachSignApartChecksTypedIonsAndAddsAndRemovesTheUsersOwn) {
    WorkIonsDialog([](HWND dialog) {
        const HWND positive = GetDlgItem(dialog, dlg_ions::LV_Positive);
        const HWND negative = GetDlgItem(dialog, dlg_ions::LV_Negative);
        EXPECT_EQ(Items(positive).size(), 26u);
        EXPECT_EQ(Items(negative).size(), 16u);
        EXPECT_EQ(Items(positive).front(), "[M]+");
        EXPECT_EQ(Items(positive).back(), "[2M+ACN+H]+");
        EXPECT_EQ(Items(negative).back(), "[3M-H]-");
        EXPECT_TRUE(Items(positive, true).empty()) << "the neutral molecule: no ion checked";
        EXPECT_FALSE(Enabled(dialog, dlg_ions::BT_Add));
        EXPECT_FALSE(Enabled(dialog, dlg_ions::BT_Remove));

        // Checked as it is typed: the parser's verdict, and Add only for a new ion.
        const struct {
            const char* typed;
            const char* message;
            bool add;
        } typing[] = {
            {"[M+Xy]+", "unknown group \"Xy\" at character 4", false},
            {"[M+Na]+", "This ion is in the list already", false},
            {"[M+C2H5OH+H]+", "", true},
        };
        for (const auto& step : typing) {
            Type(dialog, step.typed);
            EXPECT_EQ(Text(dialog, dlg_ions::LBL_NewIonCheck), step.message) << step.typed;
            EXPECT_EQ(Enabled(dialog, dlg_ions::BT_Add), step.add) << step.typed;
        }
        Press(dialog, dlg_ions::BT_Add);
        EXPECT_EQ(Items(positive).size(), 27u);
        EXPECT_EQ(Items(positive, true), std::vector<std::string>{"[M+C2H5OH+H]+"}) << "added and checked";
        EXPECT_EQ(Text(dialog, dlg_ions::STR_NewIon), "");
        Type(dialog, "[M+Cl2]-");
        Press(dialog, dlg_ions::BT_Add);
        EXPECT_EQ(Items(negative).back(), "[M+Cl2]-");

        // Remove takes the user's own ions only.
        SelectItem(positive, 0);
        EXPECT_FALSE(Enabled(dialog, dlg_ions::BT_Remove));
        SelectItem(negative, 16);
        EXPECT_TRUE(Enabled(dialog, dlg_ions::BT_Remove));
        Press(dialog, dlg_ions::BT_Remove);
        EXPECT_EQ(Items(negative).size(), 16u);

        ListView_SetCheckState(positive, 3, TRUE);  // [M+Na]+
        Press(dialog, dlg_ions::BT_Ok);
    });
    EXPECT_EQ(ChosenIon(), "2 ions");
    EXPECT_EQ(TextOf(LBL_Mass), "m/z:");
    EXPECT_EQ(SendMessageA(Item(CB_Ion), CB_GETCOUNT, 0, 0), 46) << "own ion and \"2 ions\" added";

    // Cancel changes nothing, not even the ions added meanwhile.
    WorkIonsDialog([](HWND dialog) {
        EXPECT_EQ(Items(GetDlgItem(dialog, dlg_ions::LV_Positive), true),
                  (std::vector<std::string>{"[M+Na]+", "[M+C2H5OH+H]+"}));
        Type(dialog, "[M+K+H]2+");
        Press(dialog, dlg_ions::BT_Add);
        Press(dialog, dlg_ions::BT_Cancel);
    });
    EXPECT_EQ(ChosenIon(), "2 ions");
    EXPECT_EQ(SendMessageA(Item(CB_Ion), CB_GETCOUNT, 0, 0), 46);

    // One ion checked is that ion; none, the neutral molecule.
    ChooseIons({"[M+C2H5OH+H]+"});
    EXPECT_EQ(ChosenIon(), "[M+C2H5OH+H]+");
    ChooseIons({});
    EXPECT_EQ(ChosenIon(), "M (neutral)");
    EXPECT_EQ(TextOf(LBL_Mass), "Monoisotopic mass:");
}

TEST_F(IonSet, OneSelectPerIonWindowRowsMergedByMassThenIonEachWithItsOwnIon) {
    ChooseIons({"[M+H]+", "[M+Na]+"});
    const std::size_t mark = Search("181.0707");
    // 181.0707 +- 5 ppm as each ion, worked out beforehand from the isotope masses.
    EXPECT_EQ(CommandsLike(mark, "DbSqlExec"),
              (std::vector<std::string>{Select0Sql("180.062518", "180.064329"),
                                        Select0Sql("158.080574", "158.082385")}));
    // Every molecule came back for both ions: two rows each.
    EXPECT_EQ(TextOf(LBL_FoundNumVal), "8");
    EXPECT_EQ(Column(2), (std::vector<std::string>{"water", "water", "benzene", "benzene", "glucose",
                                                   "glucose", "fructose", "fructose"}));
    const std::vector<std::string> ions = Column(6);
    for (std::size_t i = 0; i < ions.size(); ++i) EXPECT_EQ(ions[i], i % 2 ? "[M+Na]+" : "[M+H]+") << i;
    // Each error as the row's ion: (measured - m/z) / m/z x 1e6.
    EXPECT_EQ(Column(3), (std::vector<std::string>{
                             Local("+8521096.31"), Local("+3416381.62"), Local("+1290461.98"),
                             Local("+792137.40"), Local("+0.20"), Local("-108257.21"), Local("+0.13"),
                             Local("-108257.26")}));
    // The Ion column: titled, last by index, shown after Name.
    char title[32] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    ASSERT_TRUE(SendMessageA(list_, LVM_GETCOLUMNA, 6, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(title, "Ion");
    int order[7] = {};
    ASSERT_TRUE(SendMessageA(list_, LVM_GETCOLUMNORDERARRAY, 7, reinterpret_cast<LPARAM>(order)));
    EXPECT_EQ(std::vector<int>(order, order + 7), (std::vector<int>{0, 1, 2, 6, 3, 4, 5}));

    // The distribution and the ranking as each row's ion.
    Select(4);
    std::size_t since = Choose(PM_ResIsoDist);
    Select(5);
    Choose(PM_ResIsoDist);
    EXPECT_EQ(CommandsLike(since, "IsoDist"),
              (std::vector<std::string>{"IsoDist C6H13O6", "IsoDist C6H12NaO6"}));
    Update("203.0526 100\n204.0559 6.6\n");
    since = Choose(PM_ResRank);
    EXPECT_EQ(CommandsLike(since, "IsoDist"),
              (std::vector<std::string>{"IsoDist H3O", "IsoDist H2NaO", "IsoDist C6H7", "IsoDist C6H6Na",
                                        "IsoDist C6H13O6", "IsoDist C6H12NaO6"}));
    EXPECT_EQ(Column(2)[0], "glucose") << "the sodium adducts fit the sodium pattern best";
    EXPECT_EQ(Column(6)[0], "[M+Na]+");

    // A neutral search again: the Ion column goes.
    ChooseIon("M (neutral)");
    Search("180.0634");
    EXPECT_FALSE(SendMessageA(list_, LVM_GETCOLUMNA, 6, reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(TextOf(LBL_FoundNumVal), "4");
}

TEST_F(IonSet, TheListKeepsTheIonsOfItsSearchWhateverTheSelectorShowsLater) {
    ChooseIon("[M+Na]+");
    Search("203.0526");
    ChooseIon("[M+H]+");
    Update("203.0526 100\n204.0559 6.6\n");
    std::size_t mark = Choose(PM_ResRank);
    EXPECT_EQ(CommandsLike(mark, "IsoDist"),
              (std::vector<std::string>{"IsoDist C6H12NaO6", "IsoDist C6H6Na", "IsoDist H2NaO"}));
    Select(0);
    mark = Choose(PM_ResIsoDist);
    EXPECT_EQ(CommandsLike(mark, "IsoDist"), (std::vector<std::string>{"IsoDist C6H12NaO6"}));
    EXPECT_EQ(Column(3)[0], Local("-0.04")) << "the error as [M+Na]+";
}

TEST_F(IonSet, ASearchWhoseInputsDoNotConvertKeepsTheLastSearchsValues) {
    ChooseIon("[M+Na]+");
    Search("203.053");
    ASSERT_EQ(Column(3)[0], Local("+1.93"));
    // A mass that converts, a tolerance that does not: the handler as the
    // button would run it, had it been left enabled.
    SetWindowTextA(Item(STR_Mass), Local("300").c_str());
    SetWindowTextA(Item(STR_Ppm), "");
    const std::size_t mark = host_.Commands().size();
    const HWND search = Item(BT_Search);
    SendMessageA(GetParent(search), WM_COMMAND, MAKEWPARAM(BT_Search, BN_CLICKED),
                 reinterpret_cast<LPARAM>(search));
    EXPECT_TRUE(CommandsLike(mark, "Db").empty());
    InvalidateRect(list_, nullptr, TRUE);
    EXPECT_EQ(Column(3)[0], Local("+1.93")) << "the errors still of 203.053";
}

TEST_F(IonSet, AChargedRecordSearchedAsMPlusMatchesAtItsTrueMz) {
    // Choline as a database of charged records holds it: the sum of its atoms.
    queryRows_ = "12;104.107539;C5H14NO+;choline\n";
    ChooseIon("[M]+");
    std::size_t mark = Search("104.10699");
    // m/z -+ 5 ppm plus the electron the charge took.
    EXPECT_EQ(CommandsLike(mark, "DbSqlExec"),
              (std::vector<std::string>{Select0Sql("104.107018", "104.108059")}));
    EXPECT_EQ(Column(3), (std::vector<std::string>{Local("+0.00")}));
    EXPECT_EQ(Column(6), (std::vector<std::string>{"[M]+"}));
    Select(0);
    mark = Choose(PM_ResIsoDist);
    EXPECT_EQ(CommandsLike(mark, "IsoDist"), (std::vector<std::string>{"IsoDist C5H14NO"}));
}

class OwnIonSettings : public IonSet {
protected:
    OwnIonSettings() {
        ion_ = "ION=[M+K]+\r\nIONSET=[M+H]+;[M+C2H5OH+H]+\r\nUSERIONS=[M+C2H5OH+H]+;[M+3Na]3+\r\n";
    }
    void Reopen() {
        plugin_.Free();
        plugin_.Init(host_.Context());
        ASSERT_EQ(plugin_.Call(101), 1);
        main_ = host_.OpenedWindows().back();
    }
    std::string Saved() const { return folder_.ReadSettings(); }
};

TEST_F(OwnIonSettings, TheSetAndTheOwnIonsAreReadWrittenWhenChangedAndResetByDefault) {
    EXPECT_EQ(ChosenIon(), "2 ions");
    EXPECT_EQ(SendMessageA(Item(CB_Ion), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("[M+3Na]3+")),
              44) << "the user's own after the table";
    // Nothing changed: nothing written.
    const std::string before = Saved();
    Reopen();
    EXPECT_EQ(Saved(), before);
    EXPECT_EQ(ChosenIon(), "2 ions");

    ChooseIons({"[M+H]+", "[M+3Na]3+", "[M-H]-"});
    Reopen();
    EXPECT_NE(Saved().find("IONSET=[M+H]+;[M+3Na]3+;[M-H]-\r\n"), std::string::npos) << Saved();
    EXPECT_NE(Saved().find("ION=[M+K]+\r\n"), std::string::npos) << "kept while several are chosen";
    EXPECT_EQ(ChosenIon(), "3 ions");

    Click(BT_Default);
    EXPECT_EQ(ChosenIon(), "M (neutral)");
    Reopen();
    EXPECT_NE(Saved().find("IONSET=\r\n"), std::string::npos) << Saved();
    EXPECT_NE(Saved().find("USERIONS=\r\n"), std::string::npos) << Saved();
    EXPECT_NE(Saved().find("ION=M\r\n"), std::string::npos) << Saved();
}

class DamagedIonSettings : public IonSet {
protected:
    DamagedIonSettings() { ion_ = "ION=[M+K]+\r\nIONSET=[M+H]+;[M+Q]+\r\nUSERIONS=[M+C2H5OH+H]+\r\n"; }
};

TEST_F(DamagedIonSettings, ASetNamingNoIonMeansTheNeutralMolecule) {
    EXPECT_EQ(ChosenIon(), "M (neutral)");
    EXPECT_EQ(TextOf(LBL_Mass), "Monoisotopic mass:");
}

}  // namespace
}  // namespace ionsift::wintest
