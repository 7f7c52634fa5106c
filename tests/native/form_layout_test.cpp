// Anchored layout and the consistency of form descriptions, the main tool
// window's included.
#include <gtest/gtest.h>

#include "resources/dlg_main_ids.h"
#include "ui/form/anchors.h"
#include "ui/dialogs/dlg_main_form.h"
#include "ui/form/form_check.h"

namespace ionsift {
namespace {

struct AnchorCase {
    const char* what;
    std::uint32_t anchors;
    FormSize parent;
    FormRect expected;
};

TEST(AnchoredRect, FollowsTheAnchoredEdges) {
    // A control at 10,20 (30 x 40) in a 200 x 100 parent, hand-placed results.
    const FormRect reference{10, 20, 30, 40};
    const FormSize design{200, 100};
    const AnchorCase cases[] = {
        {"top left stays", kAnchorTopLeft, {260, 150}, {10, 20, 30, 40}},
        {"all edges stretch", kAnchorAll, {260, 150}, {10, 20, 90, 90}},
        {"top right moves right", kAnchorTop | kAnchorRight, {260, 150}, {70, 20, 30, 40}},
        {"right bottom moves both ways", kAnchorRight | kAnchorBottom, {260, 150}, {70, 70, 30, 40}},
        {"left top bottom stretches down", kAnchorLeft | kAnchorTop | kAnchorBottom, {260, 150},
         {10, 20, 30, 90}},
        {"no anchor keeps its centre share", 0, {261, 151}, {40, 45, 30, 40}},
        {"no anchor shrinking halves down", 0, {199, 99}, {9, 19, 30, 40}},
        {"stretch never goes negative", kAnchorAll, {150, 50}, {10, 20, 0, 0}},
    };
    for (const AnchorCase& c : cases) {
        EXPECT_EQ(AnchoredRect(reference, design, c.parent, c.anchors), c.expected) << c.what;
    }
}

TEST(FormDescriptionProblem, TheMainWindowDescriptionIsConsistent) {
    EXPECT_EQ(FormDescriptionProblem(DlgMainForm()), "");
}

TEST(FormDescriptionProblem, NamesEachKindOfMistake) {
    const ControlRow panel{10, "PN", ControlKind::Panel, kFormParent, {0, 0, 9, 9}, kAnchorAll,
                            kOptionNone, Fixed(""), kTableOrder, kDefaultColour,
                            kDefaultColour, 0, nullptr};
    ControlRow edit = panel;
    edit.id = 11;
    edit.name = "ED";
    edit.kind = ControlKind::Edit;
    edit.parent = 10;

    auto problem = [](std::vector<ControlRow> controls, std::vector<ColumnRow> columns = {},
                      std::vector<MenuRow> menus = {}) {
        const FormDescription form{"F", Fixed(""), 9, 9, kDefaultColour, false,
                            controls.data(), static_cast<int>(controls.size()),
                            columns.data(), static_cast<int>(columns.size()),
                            menus.data(), static_cast<int>(menus.size())};
        return FormDescriptionProblem(form);
    };
    EXPECT_EQ(problem({panel, edit}), "");

    ControlRow twin = edit;
    twin.id = 10;
    EXPECT_NE(problem({panel, twin}).find("duplicate"), std::string::npos);
    ControlRow enter = edit;
    enter.id = 1;  // would collide with Enter from dialog navigation
    EXPECT_NE(problem({panel, enter}).find("reserved"), std::string::npos);
    EXPECT_NE(problem({edit, panel}).find("ED: parent"), std::string::npos) << "child first";
    ControlRow inEdit = edit;
    inEdit.id = 12;
    inEdit.parent = 11;
    EXPECT_NE(problem({panel, edit, inEdit}).find("not a container"), std::string::npos);
    ControlRow custom = edit;
    custom.kind = ControlKind::Custom;
    EXPECT_NE(problem({panel, custom}).find("window class"), std::string::npos);
    EXPECT_NE(problem({panel, edit}, {{11, 50, Fixed("")}}).find("column 0"), std::string::npos);
    EXPECT_NE(problem({panel}, {}, {{20, "ITEM", 21, Fixed("x")}}).find("ITEM: parent"),
              std::string::npos);
    ControlRow withPopup = edit;
    withPopup.popupMenu = 30;
    EXPECT_NE(problem({panel, withPopup}).find("popup"), std::string::npos);
}

TEST(DlgMainForm, ClientSizeIsTheOptionsPanelWithItsMarginsAndTheStatusBar) {
    const FormDescription& form = DlgMainForm();
    FormRect options, status;
    for (int i = 0; i < form.controlCount; ++i) {
        if (form.controls[i].id == dlg_main::PN_Options) options = form.controls[i].rect;
        if (form.controls[i].id == dlg_main::SB_Status) status = form.controls[i].rect;
    }
    EXPECT_EQ(form.clientWidth, 2 * options.left + options.width);
    EXPECT_EQ(form.clientHeight, 2 * options.top + options.height + status.height);
    EXPECT_EQ(status.Bottom(), form.clientHeight);
}

}  // namespace
}  // namespace ionsift
