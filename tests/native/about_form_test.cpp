// The about box description: consistent, and every control inside its parent,
// so nothing is clipped in the fixed, non-resizable frame.
#include <gtest/gtest.h>

#include <string>

#include "resources/dlg_about_ids.h"
#include "ui/dialogs/dlg_about_form.h"
#include "ui/dialogs/dlg_main_form.h"
#include "ui/form/form_check.h"

namespace ionsift {
namespace {

const ControlRow* Find(const FormDescription& form, int id) {
    for (int i = 0; i < form.controlCount; ++i) {
        if (form.controls[i].id == id) return &form.controls[i];
    }
    return nullptr;
}

// Names of the controls that reach past their parent's rectangle.
std::string ControlsOutsideTheirParent(const FormDescription& form) {
    std::string outside;
    for (int i = 0; i < form.controlCount; ++i) {
        const ControlRow& control = form.controls[i];
        int width = form.clientWidth, height = form.clientHeight;
        if (control.parent != kFormParent) {
            const ControlRow* parent = Find(form, control.parent);
            if (!parent) continue;  // FormDescriptionProblem reports it
            width = parent->rect.width;
            height = parent->rect.height;
        }
        const FormRect& r = control.rect;
        if (r.left < 0 || r.top < 0 || r.Right() > width || r.Bottom() > height) {
            outside += std::string(control.name) + " ";
        }
    }
    return outside;
}

TEST(AboutForm, DescriptionIsConsistentAndFitsItsFrame) {
    const FormDescription& about = DlgAboutForm();
    EXPECT_EQ(FormDescriptionProblem(about), "");
    EXPECT_EQ(ControlsOutsideTheirParent(about), "");
    EXPECT_EQ(ControlsOutsideTheirParent(DlgMainForm()), "");
    EXPECT_FALSE(about.resizable);
}

TEST(AboutForm, EnterPressesOkAndTheLogoIsAnIcon) {
    const FormDescription& about = DlgAboutForm();
    int defaults = 0;
    for (int i = 0; i < about.controlCount; ++i) {
        if (about.controls[i].options & kDefaultButton) ++defaults;
    }
    EXPECT_EQ(defaults, 1);
    ASSERT_NE(Find(about, dlg_about::BT_Ok), nullptr);
    EXPECT_TRUE(Find(about, dlg_about::BT_Ok)->options & kDefaultButton);
    const ControlRow* logo = Find(about, dlg_about::IMG_Logo);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->kind, ControlKind::Image);
    EXPECT_NE(logo->imageResource, 0);
}

TEST(FormDescriptionProblem, AnImageNeedsAnIconResource) {
    ControlRow image{10, "IMG", ControlKind::Image, kFormParent, {0, 0, 9, 9}, kAnchorTopLeft,
                      kOptionNone, Fixed(""), kTableOrder, kDefaultColour, kDefaultColour, 0,
                      nullptr};
    const FormDescription form{"F", Fixed(""), 9, 9, kDefaultColour, false, &image, 1,
                        nullptr, 0, nullptr, 0};
    EXPECT_NE(FormDescriptionProblem(form).find("image without an icon"), std::string::npos);
    image.imageResource = 8200;
    EXPECT_EQ(FormDescriptionProblem(form), "");
}

}  // namespace
}  // namespace ionsift
