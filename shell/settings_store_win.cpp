#include "shell/settings_store_win.h"

#include <windows.h>

#include <cstring>

#include "shell/host_link.h"

namespace ionsift {
namespace {

// The plug-in's section of the host's settings file. Results are not
// checked: a missing file reads as the fallbacks, a failed write is silent.
class ProfileStore final : public SettingsStore {
public:
    void Read(const char* key, const char* fallback, char* buffer, std::size_t size) override {
        if (size == 0) return;
        const HostContext* host = Host();
        if (!host) {
            std::strncpy(buffer, fallback, size - 1);
            buffer[size - 1] = '\0';
            return;
        }
        GetPrivateProfileStringA(kSettingsSection, key, fallback, buffer, static_cast<DWORD>(size),
                                 host->settingsPath);
    }

    void Write(const char* key, const char* value) override {
        if (const HostContext* host = Host()) {
            WritePrivateProfileStringA(kSettingsSection, key, value, host->settingsPath);
        }
    }
};

}  // namespace

SettingsStore& ProfileSettingsStore() {
    static ProfileStore store;
    return store;
}

}  // namespace ionsift
