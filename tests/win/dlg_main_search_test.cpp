// The search and the results list of the real Ionsift.dll behind a recording
// host: the query the host receives, the reopen after a failed query, the
// rows and count the answer gives, sorting, the popup and loading a molecule.
// Registered under a point and a comma locale.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "tests/win/tool_window_fixture.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;

// Five candidates whose order differs by every column.
const char kFiveRows[] =
    "31;180.063388;C6H12O6;glucose\n"
    "7;18.010565;h2o;water\n"
    "12;1800.5;C6H6;benzene\n"
    "4;46.041865;C2H6O;Ethanol\n"
    "99;120.5;c6h12o6;Acetone\n";

struct Row {
    std::string mass, formula, name;
};

class SearchWindow : public ToolWindowTest {
protected:
    SearchWindow() : ToolWindowTest({"samples", "other"}) {}

    std::string Settings() const override {
        return "[Ionsift]\r\nDATABASE=samples\r\nMASS=500\r\nMAXRESULTS=200\r\nPPM=2\r\n";
    }
    // DbOpen and DbSqlExec take the scripted answers in order; past them
    // every DbOpen gives a new handle and every query no rows.
    HostAnswer Answer(const std::string& command) override {
        if (command.rfind("DbOpen ", 0) == 0) {
            if (!openAnswers_.empty()) {
                const HostAnswer answer = openAnswers_.front();
                openAnswers_.erase(openAnswers_.begin());
                return answer;
            }
            return {0, "H" + std::to_string(++opened_)};
        }
        if (command.rfind("DbSqlExec ", 0) == 0 && !queryAnswers_.empty()) {
            const HostAnswer answer = queryAnswers_.front();
            queryAnswers_.erase(queryAnswers_.begin());
            return answer;
        }
        return ToolWindowTest::Answer(command);
    }

    std::vector<std::string> QueriesSince(std::size_t mark) const { return CommandsLike(mark, "Db"); }
    static std::string QueryOf(const std::string& handle, const std::string& lower,
                               const std::string& upper, int maximum) {
        return "DbSqlExec " + handle +
               " \"SELECT ID, MassMI, Formula, Name FROM Molecules WHERE (MassMI > " + lower +
               ") AND (MassMI < " + upper + ") ORDER BY MassMI ASC LIMIT " +
               std::to_string(maximum) + "\"";
    }
    std::string DbOpenOf(const std::string& name) const {
        return "DbOpen \"" + folder_.Path() + "Data\\Databases\\" + name + ".db\"";
    }

    std::size_t Search(const std::vector<HostAnswer>& answers) {
        queryAnswers_ = answers;
        const std::size_t mark = host_.Commands().size();
        Click(BT_Search);
        return mark;
    }
    std::string CellText(int row, int column) const {
        char text[256] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        const int count = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) rows.push_back({CellText(i, 0), CellText(i, 1), CellText(i, 2)});
        return rows;
    }
    // The molecule ID behind each row, in list order, as the host sees it
    // when the row is loaded. The selection is put back afterwards.
    std::vector<std::int32_t> Ids() {
        const int selected = SelectedRow();
        std::vector<std::int32_t> ids;
        const int count = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            Select(i);
            const std::size_t mark = host_.Commands().size();
            DoubleClick();
            const std::vector<std::string> sent = QueriesSince(mark);
            // "DbGetRowId <handle> <id> Replace"
            const std::size_t idAt = sent.size() == 1 ? sent[0].find(' ', 11) : std::string::npos;
            if (idAt == std::string::npos || sent[0].rfind("DbGetRowId ", 0) != 0) {
                ADD_FAILURE() << "row " << i << " loaded no molecule";
                ids.push_back(-1);
                continue;
            }
            ids.push_back(std::stoi(sent[0].substr(idAt + 1)));
        }
        Select(selected);
        return ids;
    }
    int SelectedRow() const {
        return static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                             LVNI_SELECTED));
    }
    // The list tells its parent as a header click or a double click does.
    void ClickColumn(int column) const {
        NMLISTVIEW click{};
        click.hdr = {list_, static_cast<UINT_PTR>(LV_Results), static_cast<UINT>(LVN_COLUMNCLICK)};
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageA(GetParent(list_), WM_NOTIFY, LV_Results, reinterpret_cast<LPARAM>(&click));
    }
    void DoubleClick() const {
        NMITEMACTIVATE activate{};
        activate.hdr = {list_, static_cast<UINT_PTR>(LV_Results), static_cast<UINT>(NM_DBLCLK)};
        activate.iItem = SelectedRow();
        SendMessageA(GetParent(list_), WM_NOTIFY, LV_Results, reinterpret_cast<LPARAM>(&activate));
    }
    // A key as typed into the list: posted, then taken from the queue by the
    // thread's own loop, so that the window's dialog navigation sees it first.
    void Press(UINT message, WPARAM key) const {
        PostMessageA(list_, message, key, 1);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // Right-clicks at `at` (list client coordinates) and reads the popup.
    MenuItems OpenPopupAt(POINT at) const {
        ClientToScreen(list_, &at);
        SetCursorPos(at.x, at.y);
        return ReadPopup(list_, at);
    }
    // Cursor commands in order, so that every path can be checked for a
    // busy cursor that is turned off again.
    std::vector<std::string> CursorCommandsSince(std::size_t mark) const {
        return CommandsLike(mark, "Cursor ");
    }

    int opened_ = 0;
    std::vector<HostAnswer> openAnswers_;
    std::vector<HostAnswer> queryAnswers_;
};

const std::vector<std::string> kBusyThenDefault = {"Cursor Busy", "Cursor Default"};

TEST_F(SearchWindow, TheQueryCarriesTheExclusiveBoundsWithAPointAndTheMaximum) {
    ASSERT_TRUE(IsWindowEnabled(Item(BT_Search)));
    std::size_t mark = Search({{0, ""}});
    EXPECT_EQ(QueriesSince(mark),
              (std::vector<std::string>{QueryOf("H1", "499.999000", "500.001000", 200)}));
    EXPECT_EQ(CursorCommandsSince(mark), kBusyThenDefault);

    // A mass typed with the user's separator, a wider tolerance, another maximum.
    SetWindowTextA(Item(STR_Mass), Local("180.063388").c_str());
    SetWindowTextA(Item(STR_Ppm), Local("5").c_str());
    SetWindowTextA(Item(STR_MaxResults), "17");
    mark = Search({{0, ""}});
    EXPECT_EQ(QueriesSince(mark),
              (std::vector<std::string>{QueryOf("H1", "180.062488", "180.064288", 17)}));
}

TEST_F(SearchWindow, TheAnswerFillsTheListAndTheCountShowsItsNewlines) {
    Search({{0, "12;180.063388;C6H12O6;glucose\n7; 18.010565 ;H2O ;water\r\n"}});
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].mass, Local("180.063388"));
    EXPECT_EQ(rows[0].formula, "C6H12O6");
    EXPECT_EQ(rows[0].name, "glucose");
    // Blanks after a delimiter go, blanks before one stay, and so does the CR.
    EXPECT_EQ(rows[1].mass, Local("18.010565 "));
    EXPECT_EQ(rows[1].formula, "H2O ");
    EXPECT_EQ(rows[1].name, "water\r");
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{12, 7}));
    EXPECT_EQ(TextOf(LBL_FoundNumVal), "2");

    // The last row lacks its newline: it gets no slot and no row, while the
    // count still shows the newlines.
    Search({{0, "1;10.5;C;one\n2;20.5;D;two"}});
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(TextOf(LBL_FoundNumVal), "1");

    // More rows than fit: the scroll bar covers them all, although the list
    // drew nothing while they arrived.
    std::string many;
    for (int id = 1; id <= 60; ++id) many += std::to_string(id) + ";" + std::to_string(id) + ".5;C;c\n";
    Search({{0, many}});
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE | SIF_PAGE;
    ASSERT_TRUE(GetScrollInfo(list_, SB_VERT, &scroll));
    EXPECT_EQ(scroll.nMax, 59);
    EXPECT_GT(scroll.nPage, 0u);
    EXPECT_TRUE(IsWindowVisible(list_));

    // An empty answer: an empty list and "0", with the cursor back.
    const std::size_t mark = Search({{0, ""}});
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(TextOf(LBL_FoundNumVal), "0");
    EXPECT_EQ(CursorCommandsSince(mark), kBusyThenDefault);
    EXPECT_TRUE(IsWindowVisible(list_)) << "shown again on every way out";
}

TEST_F(SearchWindow, AFailedQueryReopensTheDatabaseOnce) {
    // The reopen fails: the search ends quietly, the handle stays.
    openAnswers_ = {{0, "0 cannot open"}};
    std::size_t mark = Search({{5, "no such table"}});
    EXPECT_EQ(QueriesSince(mark),
              (std::vector<std::string>{QueryOf("H1", "499.999000", "500.001000", 200),
                                        DbOpenOf("samples")}));
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(TextOf(LBL_FoundNumVal), "0");
    EXPECT_EQ(CursorCommandsSince(mark), kBusyThenDefault);
    mark = Search({{0, "3;500.0001;X;still H1\n"}});
    EXPECT_EQ(QueriesSince(mark).front(), QueryOf("H1", "499.999000", "500.001000", 200));

    // The reopen answers a handle: exactly one more query, with that handle.
    openAnswers_ = {{7, "H9"}};  // the DbOpen's error code is not what counts
    mark = Search({{5, "gone"}, {0, "4;500.0002;Y;found\n"}});
    EXPECT_EQ(QueriesSince(mark),
              (std::vector<std::string>{QueryOf("H1", "499.999000", "500.001000", 200),
                                        DbOpenOf("samples"),
                                        QueryOf("H9", "499.999000", "500.001000", 200)}));
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{4}));

    // The query fails again after the reopen: no second reopen, no message.
    openAnswers_ = {{0, "H10"}};
    mark = Search({{5, "gone"}, {5, "still gone"}});
    EXPECT_EQ(QueriesSince(mark),
              (std::vector<std::string>{QueryOf("H9", "499.999000", "500.001000", 200),
                                        DbOpenOf("samples"),
                                        QueryOf("H10", "499.999000", "500.001000", 200)}));
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(CursorCommandsSince(mark), kBusyThenDefault);
    for (const std::string& command : CommandsSince(mark)) {
        EXPECT_NE(command.rfind("messagebox", 0), 0u) << command;
    }
}

TEST_F(SearchWindow, EachColumnSortsAscendingThenDescendingAndKeepsTheSelection) {
    Search({{0, kFiveRows}});
    ASSERT_EQ(Ids(), (std::vector<std::int32_t>{31, 7, 12, 4, 99}));
    Select(2);  // benzene, ID 12

    ClickColumn(0);
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{7, 4, 99, 31, 12}));
    ClickColumn(0);
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{12, 31, 99, 4, 7}));
    EXPECT_EQ(Rows()[static_cast<std::size_t>(SelectedRow())].name, "benzene");

    // Formulas without regard to case: C2H6O < C6H12O6 = c6h12o6 < C6H6 < h2o.
    ClickColumn(1);
    std::vector<std::int32_t> ids = Ids();
    EXPECT_EQ(ids.front(), 4);
    EXPECT_EQ(std::vector<std::int32_t>(ids.begin() + 3, ids.end()),
              (std::vector<std::int32_t>{12, 7}));
    EXPECT_EQ((std::vector<std::int32_t>{std::min(ids[1], ids[2]), std::max(ids[1], ids[2])}),
              (std::vector<std::int32_t>{31, 99}));
    ClickColumn(1);
    ids = Ids();
    EXPECT_EQ(std::vector<std::int32_t>(ids.begin(), ids.begin() + 2),
              (std::vector<std::int32_t>{7, 12}));
    EXPECT_EQ(ids.back(), 4);

    ClickColumn(2);
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{99, 12, 4, 31, 7}));
    ClickColumn(2);
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{7, 31, 4, 12, 99}));
    EXPECT_EQ(Rows()[static_cast<std::size_t>(SelectedRow())].name, "benzene");

    // Without a selection the focused row still moves with its row.
    Select(-1);
    LVITEMA focus{};
    focus.stateMask = focus.state = LVIS_FOCUSED;
    SendMessageA(list_, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&focus));  // water
    ClickColumn(1);
    const int focused = static_cast<int>(
        SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    ASSERT_GE(focused, 0);
    EXPECT_EQ(Rows()[static_cast<std::size_t>(focused)].name, "water");
    EXPECT_EQ(SelectedRow(), -1);
    ClickColumn(1);  // Formula back to its earlier direction, for the checks below
    Select(2);

    // Each column keeps its own alternation: Mass was last descending, so
    // its next click sorts ascending, whatever came in between.
    ClickColumn(0);
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{7, 4, 99, 31, 12}));

    // A new search shows the query's order, and the rows' texts followed them.
    Search({{0, kFiveRows}});
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{31, 7, 12, 4, 99}));
    ClickColumn(2);
    const std::vector<Row> rows = Rows();
    EXPECT_EQ(rows.front().name, "Acetone");
    EXPECT_EQ(rows.front().mass, Local("120.5"));
}

TEST_F(SearchWindow, TheKeyboardMovesThroughTheRowsAndTypingFindsAMass) {
    // Masses in the query's order: 180.06..., 18.01..., 1800.5, 46.04..., 120.5.
    Search({{0, kFiveRows}});
    SetFocus(list_);
    Press(WM_KEYDOWN, VK_END);
    EXPECT_EQ(SelectedRow(), 4);
    Press(WM_KEYDOWN, VK_HOME);
    EXPECT_EQ(SelectedRow(), 0);
    Press(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(SelectedRow(), 1);

    // The only mass that begins with a 4.
    Press(WM_CHAR, '4');
    EXPECT_EQ(SelectedRow(), 3);
    EXPECT_EQ(Rows()[3].mass, Local("46.041865"));
    // No mass begins with a 7 (nor with 47): the selection stays.
    Press(WM_CHAR, '7');
    EXPECT_EQ(SelectedRow(), 3);
}

TEST_F(SearchWindow, ThePopupNeedsASelectedRowAndSeesWhereTheMouseIs) {
    Search({{0, kFiveRows}});
    RECT firstRow{};
    firstRow.left = LVIR_BOUNDS;
    SendMessageA(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&firstRow));

    // Rows listed, none selected: the popup opens with all seven items off.
    MenuItems menu = OpenPopupAt({firstRow.left + 10, firstRow.top + 2});
    ASSERT_TRUE(menu.opened);
    const std::vector<UINT> items = {PM_ResShow, PM_ResIsoDist, PM_ResSave, PM_ResCopy,
                                     PM_ResCopyRow, PM_ResCopyAll, PM_ResExcel};
    EXPECT_EQ(menu.ids, items);
    EXPECT_EQ(menu.enabled, std::vector<bool>(7, false));

    Select(1);
    menu = OpenPopupAt({firstRow.left + 10, firstRow.top + 2});
    EXPECT_EQ(menu.enabled, std::vector<bool>(7, true));

    // Below the last row the popup opens too, with the same items.
    RECT client{};
    GetClientRect(list_, &client);
    menu = OpenPopupAt({10, client.bottom - 4});
    EXPECT_TRUE(menu.opened);
    EXPECT_EQ(menu.enabled, std::vector<bool>(7, true));

    // A new search clears the selection and with it the items.
    Search({{0, kFiveRows}});
    menu = OpenPopupAt({firstRow.left + 10, firstRow.top + 2});
    EXPECT_EQ(menu.enabled, std::vector<bool>(7, false));
}

TEST_F(SearchWindow, DoubleClickLoadsTheSelectedMoleculeOnlyWithAnOpenDatabase) {
    Search({{0, kFiveRows}});
    ClickColumn(2);  // Acetone (99) first
    std::size_t mark = host_.Commands().size();
    DoubleClick();
    EXPECT_TRUE(QueriesSince(mark).empty()) << "no row selected";

    Select(0);
    mark = host_.Commands().size();
    DoubleClick();
    EXPECT_EQ(QueriesSince(mark), (std::vector<std::string>{"DbGetRowId H1 99 Replace"}));
    EXPECT_EQ(CursorCommandsSince(mark), kBusyThenDefault);

    // The prompt entry closes the database; the rows stay, the command does not go.
    SendMessageA(Item(CB_Database), CB_SETCURSEL, 0, 0);
    SendMessageA(GetParent(Item(CB_Database)), WM_COMMAND, MAKEWPARAM(CB_Database, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(CB_Database)));
    ASSERT_EQ(Rows().size(), 5u);
    mark = host_.Commands().size();
    DoubleClick();
    EXPECT_TRUE(QueriesSince(mark).empty());
}

TEST_F(SearchWindow, TheResetEmptiesTheListButKeepsTheCount) {
    Search({{0, kFiveRows}});
    SendMessageA(Item(BT_Default), BM_CLICK, 0, 0);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(TextOf(LBL_FoundNumVal), "5");
    EXPECT_FALSE(IsWindowEnabled(Item(BT_Search)));
}

// What the window system asks the controls to draw, and the texts set on
// them (a static control draws itself at once on a new text).
struct Drawn {
    HWND window;
    UINT message;
    bool operator==(const Drawn& other) const {
        return window == other.window && message == other.message;
    }
};
std::vector<Drawn> g_drawn;

LRESULT CALLBACK RecordDrawing(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && (sent->message == WM_PAINT || sent->message == WM_NCPAINT ||
                              sent->message == WM_SETTEXT)) {
        g_drawn.push_back({sent->hwnd, sent->message});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The window's pixels, frame included, as drawn so far.
std::vector<std::uint32_t> Pixels(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* begin = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(begin, begin + static_cast<std::size_t>(width) * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return pixels;
}

// Each search and sort draws what it changed, once, and nothing else: the
// screen afterwards is what drawing the whole window afresh gives, and
// where nothing but rows changed, only the rows are drawn.
TEST_F(SearchWindow, EachSearchDrawsWhatChangedOnce) {
    enum class Drawing { Changes, RowsOnly, Nothing };
    std::string fiveOthers = kFiveRows, sixty, sixtyOthers;
    std::replace(fiveOthers.begin(), fiveOthers.end(), 'e', 'i');
    for (int id = 1; id <= 60; ++id) {
        sixty += std::to_string(id) + ";" + std::to_string(id) + ".5;C;c\n";
        sixtyOthers += std::to_string(id) + ";" + std::to_string(id) + ".25;N;n\n";
    }
    const auto search = [this](const std::string& rows) {
        return [this, rows] { Search({{0, rows}}); };
    };
    const struct {
        const char* what;
        std::function<void()> action;
        Drawing drawing;
    } kSteps[] = {
        {"five rows into the empty list", search(kFiveRows), Drawing::Changes},
        {"the same five rows again", search(kFiveRows), Drawing::RowsOnly},
        {"five other rows", search(fiveOthers), Drawing::RowsOnly},
        {"sorted by name", [this] { ClickColumn(2); }, Drawing::RowsOnly},
        {"sixty rows: a scroll bar", search(sixty), Drawing::Changes},
        {"scrolled to the end", [this] { SendMessageA(list_, WM_VSCROLL, SB_BOTTOM, 0); },
         Drawing::Changes},
        {"sixty other rows, from the top", search(sixtyOthers), Drawing::Changes},
        {"no rows", search(""), Drawing::Changes},
        {"no rows again", search(""), Drawing::Nothing},
    };
    const HHOOK hook =
        SetWindowsHookExA(WH_CALLWNDPROC, RecordDrawing, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const UINT everything =
        RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
    RedrawWindow(main_, nullptr, nullptr, everything);
    for (const auto& step : kSteps) {
        SCOPED_TRACE(step.what);
        g_drawn.clear();
        step.action();
        RedrawWindow(main_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        std::vector<Drawn> drawn;
        for (const Drawn& item : g_drawn) {
            if (item.window != Item(BT_Search)) drawn.push_back(item);  // the click's own
        }
        if (step.drawing == Drawing::RowsOnly) {
            EXPECT_EQ(drawn, (std::vector<Drawn>{{list_, WM_PAINT}}))
                << "neither the list's frame and header nor the count nor the panels";
        } else if (step.drawing == Drawing::Nothing) {
            EXPECT_TRUE(drawn.empty()) << drawn.size() << " drawings";
        }
        const std::vector<std::uint32_t> shown = Pixels(main_);
        RedrawWindow(main_, nullptr, nullptr, everything);
        EXPECT_TRUE(shown == Pixels(main_)) << "a part that changed was not drawn";
    }
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(SendMessageA(list_, LVM_GETTOPINDEX, 0, 0), 0) << "a new search starts at the top";
}

}  // namespace
}  // namespace ionsift::wintest
