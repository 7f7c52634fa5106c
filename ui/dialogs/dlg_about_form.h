// The description of the about box (resources/dlg_about_form.inc).
#pragma once

#include "ui/form/form_description.h"
#include "version.h"

namespace ionsift {

constexpr int kDlgAboutClientWidth = 462;
constexpr int kDlgAboutClientHeight = 187;
// The release, from VERSION; the label takes the width of the text.
constexpr const char* kAboutVersion = IONSIFT_VERSION;
constexpr const char* kAboutCopyright = "Copyright \xA9 2026 Brannoc. All rights reserved.";

const FormDescription& DlgAboutForm();

}  // namespace ionsift
