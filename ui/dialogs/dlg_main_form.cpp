#include "ui/dialogs/dlg_main_form.h"

#include "resources/dlg_main_ids.h"
#include "ui/chart_control/chart_class.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr ControlRow kControls[] = {
#define CONTROL(id, kind, parent, left, top, width, height, anchors, options, caption, tab,  \
                text, back, popup, windowClass)                                              \
    {id, #id, ControlKind::kind, parent, {left, top, width, height}, anchors, options, caption, \
     tab, text, back, popup, windowClass},
#define COLUMN(control, width, caption)
#define MENU(id, parent, caption)
#include "resources/dlg_main_form.inc"
#undef CONTROL
#undef COLUMN
#undef MENU
};

constexpr ColumnRow kColumns[] = {
#define CONTROL(...)
#define COLUMN(control, width, caption) {control, width, caption},
#define MENU(id, parent, caption)
#include "resources/dlg_main_form.inc"
#undef CONTROL
#undef COLUMN
#undef MENU
};

constexpr MenuRow kMenus[] = {
#define CONTROL(...)
#define COLUMN(control, width, caption)
#define MENU(id, parent, caption) {id, #id, parent, caption},
#include "resources/dlg_main_form.inc"
#undef CONTROL
#undef COLUMN
#undef MENU
};

template <typename T, int N>
constexpr int CountOf(const T (&)[N]) {
    return N;
}

constexpr FormDescription kDlgMain = {
    "DlgMain",        Loc(39),  kDlgMainClientWidth, kDlgMainClientHeight,
    kColourSilver,    true,    kControls,           CountOf(kControls),
    kColumns,         CountOf(kColumns), kMenus,     CountOf(kMenus),
};

}  // namespace

const FormDescription& DlgMainForm() { return kDlgMain; }

}  // namespace ionsift
