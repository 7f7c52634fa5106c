// The description of the main tool window (resources/dlg_main_form.inc).
#pragma once

#include "ui/form/form_description.h"

namespace ionsift {

// Client size at design: 2 x 4 + 697 wide, 2 x 4 + 413 + 19 high.
constexpr int kDlgMainClientWidth = 705;
constexpr int kDlgMainClientHeight = 440;

const FormDescription& DlgMainForm();

}  // namespace ionsift
