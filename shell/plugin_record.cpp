#include "shell/plugin_record.h"

namespace ionsift {
namespace {

// Captions and images are filled by Init; the values at 4, 12 and 16 are the
// host's own menu constants.
PluginMenuEntry g_entries[kPluginEntryCount + 1] = {
    {nullptr, 5, nullptr, 1, 255, kRequestAbout},
    {nullptr, 4, nullptr, 1, 255, kRequestMainWindow},
    {nullptr, 0, nullptr, 1, 255, kRequestHelp},
    {nullptr, 0, nullptr, 0, 0, 0},
};

PluginRecord g_record = {1, 2, kPluginEntryCount, 0, kPluginName, kPluginAuthor, g_entries};

}  // namespace

PluginRecord& TheDescriptionRecord() { return g_record; }

}  // namespace ionsift
