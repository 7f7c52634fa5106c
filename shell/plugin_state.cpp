#include "shell/plugin_state.h"

namespace ionsift {

PluginState& ThePlugin() {
    static PluginState state;
    return state;
}

}  // namespace ionsift
