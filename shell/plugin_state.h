// Plug-in-wide state that lives from Init to Free.
#pragma once

#include <cstdint>

namespace ionsift {

struct PluginState {
    void* module = nullptr;          // HMODULE of Ionsift.dll, source of its resources
    void* ownerWindow = nullptr;     // HWND of the host's application window
    void* backgroundTile = nullptr;  // HBITMAP tiled behind the windows
    void* menuImage = nullptr;       // HBITMAP beside the host menu entries
    void* mainWindow = nullptr;      // HWND of the main tool window once created
    std::int16_t settingsChanged = 0;  // set by user edits; Free saves when set
};

PluginState& ThePlugin();

}  // namespace ionsift
