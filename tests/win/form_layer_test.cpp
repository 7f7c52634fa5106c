// The form layer on its own: a small description built into real windows,
// anchors on resize, events through a routing table, key handling, tab order
// and popup menus.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/form/form_win.h"

namespace ionsift {
namespace {

enum : int { kPanel = 10, kGroup, kButton, kEdit, kLabel, kList, kOther, kMenu = 50, kItem, kSub, kSubItem, kSeparator };

// Client 300 x 200: a stretching panel, in it a group anchored top-right
// holding a button, an edit with an explicit tab position before the button,
// and a right-aligned label; a list filling a second, bottom-anchored panel.
constexpr ControlRow kControls[] = {
    {kPanel, "PN", ControlKind::Panel, kFormParent, {4, 4, 292, 150}, kAnchorAll, kOptionNone,
     Fixed(""), kTableOrder, kDefaultColour, kDefaultColour, 0, nullptr},
    {kGroup, "GRP", ControlKind::GroupBox, kPanel, {150, 8, 130, 100}, kAnchorTop | kAnchorRight,
     kOptionNone, Fixed("Group"), kTableOrder, kDefaultColour, kDefaultColour, 0, nullptr},
    {kButton, "BT", ControlKind::Button, kGroup, {8, 60, 75, 25}, kAnchorRight | kAnchorBottom,
     kOptionNone, Fixed("&Go"), 1, kDefaultColour, kDefaultColour, 0, nullptr},
    {kEdit, "STR", ControlKind::Edit, kGroup, {8, 20, 100, 21}, kAnchorTopLeft, kOptionNone,
     Fixed("12"), 0, kDefaultColour, kDefaultColour, 0, nullptr},
    {kLabel, "LBL", ControlKind::Label, kGroup, {110, 90, 10, 0}, kAnchorTopLeft,
     kAutoSize | kAlignRight, Fixed("0"), kTableOrder, kColourNavy, kColourButtonFace, 0,
     nullptr},
    {kOther, "PN2", ControlKind::Panel, kFormParent, {4, 160, 292, 36},
     kAnchorLeft | kAnchorRight | kAnchorBottom, kOptionNone, Fixed(""), kTableOrder,
     kDefaultColour, kDefaultColour, 0, nullptr},
    {kList, "LV", ControlKind::ReportList, kOther, {0, 0, 0, 0}, kAnchorAll,
     kFillParent | kRowSelect, Fixed(""), kTableOrder, kDefaultColour, kDefaultColour, kMenu,
     nullptr},
};
constexpr ColumnRow kColumns[] = {{kList, 60, Loc(20)}, {kList, 90, Fixed("Second")}};
constexpr MenuRow kMenus[] = {
    {kMenu, "PM", 0, Fixed("")},
    {kItem, "PM_Item", kMenu, Loc(40)},
    {kSeparator, "PM_Sep", kMenu, Fixed("-")},
    {kSub, "PM_Sub", kMenu, Fixed("&More")},
    {kSubItem, "PM_SubItem", kSub, Fixed("&Deeper")},
};
constexpr FormDescription kForm{"Test",  Fixed("Form layer"), 300, 200, kColourButtonFace, false,
                         kControls, 7, kColumns, 2, kMenus, 5};

class TestForm : public Form {
public:
    std::vector<std::string> events;

    void Clicked(const FormEvent& event) { events.push_back("click " + std::to_string(event.controlId)); }
    void Changed(const FormEvent& event) { events.push_back("change " + std::to_string(event.controlId)); }
    void Typed(const FormEvent& event) {
        events.push_back(std::string("key ") + *event.key);
        if (*event.key == 'x') *event.key = 0;
        if (*event.key == '.') *event.key = ',';
    }

protected:
    void OnEvent(const FormEvent& event) override { RouteEvent(*this, kRoutes, event); }

private:
    static constexpr Route<TestForm> kRoutes[] = {
        {kButton, FormEventKind::Click, &TestForm::Clicked},
        {kEdit, FormEventKind::Change, &TestForm::Changed},
        {kEdit, FormEventKind::KeyPress, &TestForm::Typed},
        {kItem, FormEventKind::Click, &TestForm::Clicked},
    };
};

class FormLayer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(form_.Create(kForm, nullptr, GetModuleHandleA(nullptr)));
        ASSERT_EQ(form_.ClientSize().width, 300);
        ASSERT_EQ(form_.ClientSize().height, 200);
    }
    void TearDown() override {
        form_.Destroy();
        ReleaseFormClasses(GetModuleHandleA(nullptr));
    }
    TestForm form_;
};

TEST_F(FormLayer, ControlsSitWhereTheDescriptionPutsThem) {
    EXPECT_EQ(form_.Bounds(kPanel), (FormRect{4, 4, 292, 150}));
    EXPECT_EQ(form_.Bounds(kGroup), (FormRect{150, 8, 130, 100}));
    EXPECT_EQ(GetParent(form_.Control(kButton)), form_.Control(kGroup));
    EXPECT_EQ(GetDlgCtrlID(form_.Control(kEdit)), kEdit);
    // The list fills its panel inside the two bevels.
    EXPECT_EQ(form_.Bounds(kList), (FormRect{2, 2, 288, 32}));
    EXPECT_EQ(form_.Text(kGroup), "Group");
    EXPECT_EQ(form_.Text(kEdit), "12");
}

TEST_F(FormLayer, ResizingMovesAndStretchesByTheAnchors) {
    form_.SetClientSize(400, 260);
    EXPECT_EQ(form_.Bounds(kPanel), (FormRect{4, 4, 392, 210}));
    EXPECT_EQ(form_.Bounds(kGroup), (FormRect{250, 8, 130, 100})) << "top-right: moves right";
    EXPECT_EQ(form_.Bounds(kButton), (FormRect{8, 60, 75, 25})) << "its group kept its size";
    EXPECT_EQ(form_.Bounds(kOther), (FormRect{4, 220, 392, 36}));
    EXPECT_EQ(form_.Bounds(kList), (FormRect{2, 2, 388, 32}));

    // Bounds set by code become the reference: the group's children follow it.
    form_.SetBounds(kGroup, {200, 8, 180, 130});
    EXPECT_EQ(form_.Bounds(kButton), (FormRect{58, 90, 75, 25}));
    form_.SetClientSize(300, 200);
    EXPECT_EQ(form_.Bounds(kGroup), (FormRect{100, 8, 180, 130}));
}

TEST_F(FormLayer, AutosizedRightAlignedLabelKeepsItsRightEdge) {
    const FormRect before = form_.Bounds(kLabel);
    EXPECT_EQ(before.Right(), 120);
    form_.SetText(kLabel, "12345 molecules");
    const FormRect after = form_.Bounds(kLabel);
    EXPECT_EQ(after.Right(), 120);
    EXPECT_GT(after.width, before.width);
    EXPECT_GT(after.height, 8);
}

TEST_F(FormLayer, EventsReachTheirHandlersThroughTheRoutingTable) {
    SendMessageA(form_.Control(kButton), BM_CLICK, 0, 0);
    form_.SetText(kEdit, "7");
    // A WM_COMMAND for a control without a route is ignored.
    SendMessageA(form_.Handle(), WM_COMMAND, MAKEWPARAM(kGroup, BN_CLICKED),
                 reinterpret_cast<LPARAM>(form_.Control(kGroup)));
    SendMessageA(form_.Handle(), WM_COMMAND, MAKEWPARAM(kItem, 0), 0);  // menu item chosen
    SendMessageA(form_.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);   // Enter key: no route
    EXPECT_EQ(form_.events, (std::vector<std::string>{"click 12", "change 13", "click 51"}));
}

TEST_F(FormLayer, KeyPressHandlersSeeChangeAndDropTypedCharacters) {
    HWND edit = form_.Control(kEdit);
    SetWindowTextA(edit, "");
    form_.events.clear();
    for (char key : {'1', '.', 'x', '5'}) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(key), 1);
    EXPECT_EQ(form_.Text(kEdit), "1,5");
    const std::vector<std::string> keys = {"key 1", "change 13", "key .", "change 13", "key x",
                                           "key 5", "change 13"};
    EXPECT_EQ(form_.events, keys);
}

TEST_F(FormLayer, TabOrderFollowsExplicitPositions) {
    HWND group = form_.Control(kGroup);
    // Explicit: the edit (0) before the button (1), though the button is listed first.
    EXPECT_EQ(GetNextDlgTabItem(group, form_.Control(kEdit), FALSE), form_.Control(kButton));
    EXPECT_EQ(GetWindow(form_.Control(kEdit), GW_HWNDNEXT), form_.Control(kButton));
}

TEST_F(FormLayer, PopupMenusAreRealMenusWithTheirIdsAndCaptions) {
    HMENU menu = form_.Menu(kMenu);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    form_.ApplyLocalizedCaptions();
    char text[64] = {};
    GetMenuStringA(menu, kItem, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Copy");  // string 40
    EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(kItem));
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    HMENU sub = GetSubMenu(menu, 2);
    ASSERT_EQ(sub, form_.Menu(kSub));
    GetMenuStringA(sub, kSubItem, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Deeper");

    form_.EnableMenuItem(kSubItem, false);
    EXPECT_TRUE(GetMenuState(menu, kSubItem, MF_BYCOMMAND) & MF_GRAYED);
    form_.EnableMenuItem(kSubItem, true);
    EXPECT_FALSE(GetMenuState(menu, kSubItem, MF_BYCOMMAND) & MF_GRAYED);

    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessageA(form_.Control(kList), LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(text, "Mass");  // string 20
    EXPECT_EQ(column.cx, 60);
}

// Colours pass down the tree: a control that names no background shows its
// parent's, up to the form's; one that names its own keeps it.
TEST(FormColours, WhatNamesNoBackgroundShowsItsParents) {
    static constexpr ControlRow kRows[] = {
        {kPanel, "PN", ControlKind::Panel, kFormParent, {4, 4, 200, 100}, kAnchorAll, kOptionNone,
         Fixed(""), kTableOrder, kDefaultColour, kDefaultColour, 0, nullptr},
        {kGroup, "GRP", ControlKind::GroupBox, kPanel, {8, 8, 180, 80}, kAnchorTopLeft,
         kOptionNone, Fixed("Group"), kTableOrder, kDefaultColour, kDefaultColour, 0, nullptr},
        {kLabel, "LBL", ControlKind::Label, kGroup, {8, 20, 60, 13}, kAnchorTopLeft, kOptionNone,
         Fixed("plain"), kTableOrder, kDefaultColour, kDefaultColour, 0, nullptr},
        {kOther, "LBL2", ControlKind::Label, kGroup, {8, 40, 60, 13}, kAnchorTopLeft,
         kOptionNone, Fixed("own"), kTableOrder, kColourNavy, kColourButtonFace, 0, nullptr},
    };
    static constexpr FormDescription kSilver{"Colours", Fixed("Colours"), 220, 120, kColourSilver,
                                             false, kRows, 4, nullptr, 0, nullptr, 0};
    TestForm form;
    ASSERT_TRUE(form.Create(kSilver, nullptr, GetModuleHandleA(nullptr)));
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    // Windows that fill their own background, and labels that ask the form.
    const auto erased = [&](HWND window) {
        SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        return GetPixel(dc, 1, 1);
    };
    const auto labelBrush = [&](int id) {
        const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
            form.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
            reinterpret_cast<LPARAM>(form.Control(id))));
        LOGBRUSH info{};
        GetObjectA(brush, sizeof info, &info);
        return info.lbColor;
    };
    const COLORREF silver = RGB(192, 192, 192);
    EXPECT_EQ(erased(form.Handle()), silver) << "the form";
    EXPECT_EQ(erased(form.Control(kPanel)), silver) << "a panel on it";
    EXPECT_EQ(erased(form.Control(kGroup)), silver) << "a group box in the panel";
    EXPECT_EQ(labelBrush(kLabel), silver) << "a label in the group";
    EXPECT_EQ(GetBkColor(dc), silver);
    EXPECT_EQ(labelBrush(kOther), GetSysColor(COLOR_BTNFACE)) << "a label naming its own";
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    form.Destroy();
    ReleaseFormClasses(GetModuleHandleA(nullptr));
}

}  // namespace
}  // namespace ionsift
