#include "host/app/host_menu_win.h"

#include <algorithm>
#include <string>

#include "host/app/host_language.h"

namespace ionsift::host {
namespace {

constexpr const char* kMenuCaptions[] = {"&File", "&Plug-ins", "&Language", "&Help"};

struct FixedItem {
    MenuPosition menu;
    const char* caption;  // null for a separator
    UINT id;
};

constexpr FixedItem kFixedItems[] = {
    {kFileMenu, "E&xit", kIdExit},
    {kHelpMenu, nullptr, 0},
    {kHelpMenu, "&About this host", kIdAbout},
};

void AppendPluginItem(HMENU menu, const std::string& caption, void* image, UINT id) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_ID;
    info.wID = id;
    info.dwTypeData = const_cast<char*>(caption.c_str());
    if (image != nullptr) {
        info.fMask |= MIIM_BITMAP;
        info.hbmpItem = static_cast<HBITMAP>(image);
    }
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
}

}  // namespace

HMENU BuildMenuBar(const PluginMenuPlan& plan, std::size_t languageIndex) {
    HMENU bar = CreateMenu();
    HMENU menus[4] = {};
    for (HMENU& menu : menus) menu = CreatePopupMenu();

    bool anyPluginItem = false;
    bool anyHelp = false;
    for (std::size_t i = 0; i < plan.items.size(); ++i) {
        const PluginMenuItem& item = plan.items[i];
        const UINT id = kIdPluginFirst + static_cast<UINT>(i);
        if (item.isHelp) {
            AppendPluginItem(menus[kHelpMenu], plan.pluginName + " help", item.image, id);
            anyHelp = true;
        } else {
            AppendPluginItem(menus[kPluginsMenu], item.caption, item.image, id);
            anyPluginItem = true;
        }
    }
    if (!anyPluginItem) AppendMenuA(menus[kPluginsMenu], MF_STRING | MF_GRAYED, 0, "(no plug-in)");

    for (std::size_t i = 0; i < kHostLanguageCount; ++i) {
        AppendMenuA(menus[kLanguageMenu], MF_STRING, kIdLanguageFirst + i, kHostLanguages[i].label);
    }
    for (const FixedItem& item : kFixedItems) {
        if (item.caption == nullptr) {
            if (anyHelp) AppendMenuA(menus[item.menu], MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(menus[item.menu], MF_STRING, item.id, item.caption);
        }
    }
    for (int i = 0; i < 4; ++i) {
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menus[i]), kMenuCaptions[i]);
    }
    CheckLanguage(bar, languageIndex);
    return bar;
}

void CheckLanguage(HMENU bar, std::size_t languageIndex) {
    CheckMenuRadioItem(GetSubMenu(bar, kLanguageMenu), kIdLanguageFirst,
                       kIdLanguageFirst + kHostLanguageCount - 1,
                       kIdLanguageFirst + static_cast<UINT>(languageIndex), MF_BYCOMMAND);
}

UINT FindMenuItem(HMENU bar, const std::string& caption) {
    for (int menu = 0; menu < GetMenuItemCount(bar); ++menu) {
        HMENU dropDown = GetSubMenu(bar, menu);
        for (int item = 0; item < GetMenuItemCount(dropDown); ++item) {
            char text[256] = {};
            GetMenuStringA(dropDown, static_cast<UINT>(item), text, sizeof text, MF_BYPOSITION);
            std::string shown(text);
            shown.erase(std::remove(shown.begin(), shown.end(), '&'), shown.end());
            const UINT id = GetMenuItemID(dropDown, item);
            if (shown == caption && id != 0 && id != static_cast<UINT>(-1)) return id;
        }
    }
    return 0;
}

}  // namespace ionsift::host
