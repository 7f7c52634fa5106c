// Control ids of the about box; stable, so that tests find its controls.
#pragma once

namespace ionsift::dlg_about {

enum ControlId : int {
    PN_About = 2001,
    IMG_Logo = 2002,
    PN_Rights = 2010,
    LBL_Title = 2011,
    LBL_Version = 2012,
    LBL_Desc = 2013,
    LBL_Copyright = 2014,
    LBL_Rights = 2015,
    LBL_Translation = 2016,
    BT_Ok = 2020,
};

}  // namespace ionsift::dlg_about
