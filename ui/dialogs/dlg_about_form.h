// The description of the about box (resources/dlg_about_form.inc).
#pragma once

#include "ui/form/form_description.h"

namespace ionsift {

constexpr int kDlgAboutClientWidth = 462;
constexpr int kDlgAboutClientHeight = 187;
constexpr const char* kAboutVersion = "1.0";
constexpr const char* kAboutCopyright = "Copyright \xA9 2026 Brannoc. All rights reserved.";

const FormDescription& DlgAboutForm();

}  // namespace ionsift
