// The ion search of the real Ionsift.dll behind a recording host: the
// selector and its setting, the query for each ion, the Error and Rms
// columns, the ion's IsoDist drawn at m/z, the ranking from scripted
// answers and Copy table. Registered under a point and a comma locale.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

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

}  // namespace
}  // namespace ionsift::wintest
