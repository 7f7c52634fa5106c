#include "host/app/host_settings_win.h"

#include <windows.h>

namespace ionsift::host {
namespace {
constexpr const char* kSection = "Host";
constexpr const char* kLanguageKey = "Language";
}  // namespace

std::string HostFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path, length);
    const std::size_t slash = directory.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".\\") : directory.substr(0, slash + 1);
}

std::string HostSettingsPath(const std::string& hostFolder) { return hostFolder + "ionsift-host.ini"; }

std::string ReadHostLanguage(const std::string& iniPath) {
    char buffer[64] = {};
    GetPrivateProfileStringA(kSection, kLanguageKey, "english", buffer, sizeof buffer,
                             iniPath.c_str());
    return buffer;
}

bool WriteHostLanguage(const std::string& iniPath, const std::string& language) {
    return WritePrivateProfileStringA(kSection, kLanguageKey, language.c_str(), iniPath.c_str()) !=
           FALSE;
}

}  // namespace ionsift::host
