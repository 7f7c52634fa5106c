// The host's own profile, ionsift-host.ini next to the exe ([Host] section).
#pragma once

#include <string>

namespace ionsift::host {

std::string ReadHostLanguage(const std::string& iniPath);
bool WriteHostLanguage(const std::string& iniPath, const std::string& language);

}  // namespace ionsift::host
