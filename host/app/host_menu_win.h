// The host's menu bar: File, Plug-ins, Language, Help.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "host/app/plugin_menu_plan.h"

namespace ionsift::host {

enum MenuId : UINT {
    kIdExit = 100,
    kIdLanguageFirst = 200,  // + index into kHostLanguages
    kIdAbout = 300,
    kIdPluginFirst = 1000,   // + index into PluginMenuPlan::items
};

// Menu-bar positions of the drop-down menus.
enum MenuPosition : int { kFileMenu = 0, kPluginsMenu = 1, kLanguageMenu = 2, kHelpMenu = 3 };

// The caller owns the returned menu (SetMenu hands it to the window).
HMENU BuildMenuBar(const PluginMenuPlan& plan, std::size_t languageIndex);
void CheckLanguage(HMENU bar, std::size_t languageIndex);
// The id of the first item of any drop-down menu whose caption, without its
// "&" marks, is `caption`; 0 when there is none.
UINT FindMenuItem(HMENU bar, const std::string& caption);

}  // namespace ionsift::host
