// Text in the host's ANSI code page (what the plug-in sends) to UTF-8 (what
// SQLite takes for file names).
#pragma once

#include <string>

namespace ionsift::host {

std::string AnsiToUtf8(const std::string& text);

}  // namespace ionsift::host
