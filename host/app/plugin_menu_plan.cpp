#include "host/app/plugin_menu_plan.h"

namespace ionsift::host {
namespace {

bool IsAllZero(const PluginMenuEntry& entry) {
    return entry.caption == nullptr && entry.hostValue4 == 0 && entry.image == nullptr &&
           entry.hostValue12 == 0 && entry.hostValue16 == 0 && entry.request == 0;
}

}  // namespace

PluginMenuPlan PlanPluginMenu(const PluginRecord* record) {
    PluginMenuPlan plan;
    plan.pluginName = "Plug-in";
    if (record == nullptr) {
        plan.problem = "Init returned no record";
        return plan;
    }
    if (record->name != nullptr && record->name[0] != '\0') plan.pluginName = record->name;
    if (record->entryCount < 0 || record->entryCount > kMaxPluginEntries) {
        plan.problem = "entry count out of range: " + std::to_string(record->entryCount);
        return plan;
    }
    if (record->entryCount > 0 && record->entries == nullptr) {
        plan.problem = "record has entries but no table";
        return plan;
    }
    for (int i = 0; i < record->entryCount; ++i) {
        const PluginMenuEntry& entry = record->entries[i];
        if (IsAllZero(entry)) break;
        PluginMenuItem item;
        item.request = entry.request;
        item.image = entry.image;
        if (entry.caption == nullptr || entry.caption[0] == '\0') {
            item.isHelp = true;
        } else {
            item.caption = entry.caption;
        }
        plan.items.push_back(std::move(item));
    }
    return plan;
}

}  // namespace ionsift::host
