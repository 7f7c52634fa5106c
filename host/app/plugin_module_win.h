// The plug-in DLL and its three entry points. Owns the module handle; Free is
// called at most once and never before Init.
#pragma once

#include <windows.h>

#include <string>

#include "shell/host_context.h"
#include "shell/plugin_record.h"

namespace ionsift::host {

class PluginModule {
public:
    PluginModule() = default;
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // Loads the DLL and resolves Init, Call and Free; on failure says why.
    bool Load(const std::string& path, std::string& problem);
    const PluginRecord* Init(HostContext& context);
    bool Call(int request);
    bool Free();
    void Unload();  // FreeLibrary; Free must have run first
    bool initialized() const { return initialized_ && !freed_; }

private:

    HMODULE module_ = nullptr;
    PluginInitFn init_ = nullptr;
    PluginCallFn call_ = nullptr;
    PluginFreeFn free_ = nullptr;
    bool initialized_ = false;
    bool freed_ = false;
};

}  // namespace ionsift::host
