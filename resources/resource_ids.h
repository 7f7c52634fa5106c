/* Resource IDs of Ionsift.dll, shared by the C++ sources and ionsift.rc.
   Only #define lines: windres reads this file too. */
#ifndef IONSIFT_RESOURCE_IDS_H
#define IONSIFT_RESOURCE_IDS_H

#define IDB_BACKGROUND   8000 /* 300 x 48 tile behind the dialogs */
#define IDB_MENU_IMAGE   8001 /* 16 x 16 image beside the menu entries */
#define IDI_MAIN_WINDOW  8100 /* 32 x 32 + 16 x 16 icon of the tool window */
#define IDI_ABOUT_LOGO   8200 /* 128 x 128 logo of the about box */

#endif
