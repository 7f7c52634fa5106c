#include "ui/dialogs/dlg_ions_form.h"

#include "resources/dlg_ions_ids.h"

namespace ionsift {
namespace {

using namespace dlg_ions;

constexpr ControlRow kControls[] = {
#define CONTROL(id, kind, parent, left, top, width, height, anchors, options, caption, tab,  \
                text, back, popup, windowClass)                                              \
    {id, #id, ControlKind::kind, parent, {left, top, width, height}, anchors, options, caption, \
     tab, text, back, popup, windowClass},
#define COLUMN(control, width, caption)
#include "resources/dlg_ions_form.inc"
#undef CONTROL
#undef COLUMN
};

constexpr ColumnRow kColumns[] = {
#define CONTROL(...)
#define COLUMN(control, width, caption) {control, width, caption},
#include "resources/dlg_ions_form.inc"
#undef CONTROL
#undef COLUMN
};

template <typename T, int N>
constexpr int CountOf(const T (&)[N]) {
    return N;
}

constexpr FormDescription MakeIonsForm() {
    FormDescription form{"DlgIons",  Loc(67),   kDlgIonsClientWidth, kDlgIonsClientHeight,
                         kColourButtonFace, true, kControls, CountOf(kControls),
                         kColumns,  CountOf(kColumns), nullptr, 0};
    form.resizable = false;
    return form;
}

constexpr FormDescription kDlgIons = MakeIonsForm();

}  // namespace

const FormDescription& DlgIonsForm() { return kDlgIons; }

}  // namespace ionsift
