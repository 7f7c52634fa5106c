// Control ids of the Ions dialog, where several ions are chosen and the
// user's own are added; stable, so that tests find its controls.
#pragma once

namespace ionsift::dlg_ions {

enum ControlId : int {
    LBL_Positive = 3001,
    LV_Positive = 3002,
    LBL_Negative = 3003,
    LV_Negative = 3004,
    LBL_NewIon = 3010,
    STR_NewIon = 3011,
    BT_Add = 3012,
    BT_Remove = 3013,
    LBL_NewIonCheck = 3014,
    BT_Ok = 3020,
    BT_Cancel = 3021,
};

}  // namespace ionsift::dlg_ions
