// Control ids and popup-menu command ids of the main tool window. They are
// stable: whatever drives the window (tests, automation) finds its controls
// and commands by them.
#pragma once

namespace ionsift::dlg_main {

enum ControlId : int {
    PN_Options = 1001,
    GRP_Param = 1010,
    LBL_Database = 1011,
    CB_Database = 1012,
    LBL_Mass = 1013,
    STR_Mass = 1014,
    LBL_PlusMinus = 1015,
    STR_Ppm = 1016,
    LBL_Ppm = 1017,
    LBL_MaxResults = 1018,
    STR_MaxResults = 1019,
    BT_Default = 1020,
    BT_Search = 1021,
    PN_Ion = 1022,
    LBL_Ion = 1023,
    CB_Ion = 1024,
    GRP_Results = 1030,
    LBL_FoundNum = 1031,
    LBL_FoundNumVal = 1032,
    PN_Results = 1033,
    LV_Results = 1034,
    GRP_IsoChart = 1040,
    TC_IsoChart = 1041,
    GRP_Experimental = 1050,
    ME_ExData = 1051,
    LBL_ExInfo = 1052,
    BT_ExUpdate = 1053,
    LBL_Resolution = 1054,
    STR_Resolution = 1055,
    SB_Status = 1060,
};

enum MenuId : int {
    PM_Results = 1100,
    PM_ResShow = 1101,
    PM_ResIsoDist = 1102,
    PM_ResSep3 = 1103,
    PM_ResSave = 1104,
    PM_ResSep1 = 1105,
    PM_ResCopy = 1106,
    PM_ResCopyRow = 1107,
    PM_ResCopyAll = 1108,
    PM_ResSep2 = 1109,
    PM_ResExcel = 1110,
    // Added to PM_Results while they apply (ion search and ranking).
    PM_ResSep4 = 1111,
    PM_ResRank = 1112,
    PM_ResCopyTable = 1113,
    PM_IsoChart = 1200,
    PM_IC_Edit = 1201,
    PM_IC_CopyChart = 1202,
    PM_IC_CopyData = 1203,
    PM_IC_EditSep1 = 1204,
    PM_IC_SendExp = 1205,
    PM_IC_Zoom = 1206,
    PM_IC_ZoomIn = 1207,
    PM_IC_ZoomOut = 1208,
    PM_IC_ZoomSpc = 1209,
    PM_IC_ZoomReset = 1210,
    PM_IC_MainSep1 = 1211,
    PM_IC_Print = 1212,
    // Rows the experimental edit's context menu adds below its edit rows.
    PM_ExOpenSpectrum = 1300,
    PM_ExPasteSpectrum = 1301,
    PM_IC_ShowProfile = 1213,
};

}  // namespace ionsift::dlg_main
