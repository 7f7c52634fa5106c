// Reads the plug-in's description record into the items of the host's menus.
// The record comes from foreign code, so it is read defensively.
#pragma once

#include <string>
#include <vector>

#include "shell/plugin_record.h"

namespace ionsift::host {

constexpr int kMaxPluginEntries = 16;

struct PluginMenuItem {
    std::string caption;  // empty for the help entry
    void* image = nullptr;
    int request = 0;
    bool isHelp = false;  // the entry without caption
};

struct PluginMenuPlan {
    std::vector<PluginMenuItem> items;
    std::string pluginName;  // "Plug-in" when the record names none
    std::string problem;     // why the record was rejected, empty when usable
};

// Entries are read up to entryCount or the first all-zero entry, whichever
// comes first.
PluginMenuPlan PlanPluginMenu(const PluginRecord* record);

}  // namespace ionsift::host
