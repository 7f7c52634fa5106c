// The description of the Ions dialog (resources/dlg_ions_form.inc).
#pragma once

#include "ui/form/form_description.h"

namespace ionsift {

constexpr int kDlgIonsClientWidth = 424;
constexpr int kDlgIonsClientHeight = 359;

const FormDescription& DlgIonsForm();

}  // namespace ionsift
