#include "host/app/host_settings_win.h"

#include <windows.h>

namespace ionsift::host {
namespace {
constexpr const char* kSection = "Host";
constexpr const char* kLanguageKey = "Language";
}  // namespace

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
