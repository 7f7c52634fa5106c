// Control ids of the list from which one spectrum of a file is picked;
// stable, so that tests find its controls.
#pragma once

namespace ionsift::dlg_spectra {

enum ControlId : int {
    LBL_SpectraInfo = 3001,
    LV_Spectra = 3002,
    BT_SpectraOk = 3003,
    BT_SpectraCancel = 3004,
};

}  // namespace ionsift::dlg_spectra
