// The description of the spectrum pick list (resources/dlg_spectra_form.inc).
#pragma once

#include "ui/form/form_description.h"

namespace ionsift {

constexpr int kDlgSpectraClientWidth = 440;
constexpr int kDlgSpectraClientHeight = 300;

const FormDescription& DlgSpectraForm();

}  // namespace ionsift
