#include "ui/dialogs/dlg_about_form.h"

#include "resources/dlg_about_ids.h"
#include "resources/resource_ids.h"

namespace ionsift {
namespace {

using namespace dlg_about;

constexpr ControlFont kTitleFont{"Arial", 43, false};
constexpr ControlFont kVersionFont{"Arial", 13, false};
constexpr ControlFont kBoldFont{"MS Sans Serif", 11, true};

constexpr ControlRow kControls[] = {
#define CONTROL(id, kind, parent, left, top, width, height, options, caption, tab, text, back, \
                font, image)                                                                   \
    {id,      #id, ControlKind::kind, parent, {left, top, width, height}, kAnchorTopLeft,      \
     options, caption, tab, text, back, 0, nullptr, font, image},
#include "resources/dlg_about_form.inc"
#undef CONTROL
};

template <typename T, int N>
constexpr int CountOf(const T (&)[N]) {
    return N;
}

constexpr FormDescription MakeAboutForm() {
    // Stays on top like the tool window, so that the tool window never
    // covers the box that the host waits for.
    FormDescription form{"DlgAbout", Loc(7), kDlgAboutClientWidth, kDlgAboutClientHeight,
                  kColourSilver, true, kControls, CountOf(kControls),
                  nullptr, 0, nullptr, 0};
    form.resizable = false;
    return form;
}

constexpr FormDescription kDlgAbout = MakeAboutForm();

}  // namespace

const FormDescription& DlgAboutForm() { return kDlgAbout; }

}  // namespace ionsift
