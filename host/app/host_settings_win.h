// The host's own profile, ionsift-host.ini next to the exe ([Host] section).
#pragma once

#include <string>

namespace ionsift::host {

// The folder of ionsift-host.exe, ending with a backslash, and the profile in it.
std::string HostFolder();
std::string HostSettingsPath(const std::string& hostFolder);

std::string ReadHostLanguage(const std::string& iniPath);
bool WriteHostLanguage(const std::string& iniPath, const std::string& language);

}  // namespace ionsift::host
