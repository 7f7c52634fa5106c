#include "host/app/plugin_module_win.h"

namespace ionsift::host {
namespace {

template <typename Fn>
Fn Resolve(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

PluginModule::~PluginModule() {
    Free();
    Unload();
}

bool PluginModule::Load(const std::string& path, std::string& problem) {
    module_ = LoadLibraryA(path.c_str());
    if (module_ == nullptr) {
        problem = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    init_ = Resolve<PluginInitFn>(module_, "Init");
    call_ = Resolve<PluginCallFn>(module_, "Call");
    free_ = Resolve<PluginFreeFn>(module_, "Free");
    if (init_ == nullptr || call_ == nullptr || free_ == nullptr) {
        problem = path + " lacks one of Init, Call, Free";
        Unload();
        return false;
    }
    return true;
}

const PluginRecord* PluginModule::Init(HostContext& context) {
    if (module_ == nullptr || initialized_) return nullptr;
    initialized_ = true;
    return static_cast<const PluginRecord*>(init_(&context));
}

bool PluginModule::Call(int request) {
    if (!initialized()) return false;
    call_(request & 0xFFFF, 0);
    return true;
}

bool PluginModule::Free() {
    if (!initialized()) return false;
    freed_ = true;
    free_();
    return true;
}

void PluginModule::Unload() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
    init_ = nullptr;
    call_ = nullptr;
    free_ = nullptr;
}

}  // namespace ionsift::host
