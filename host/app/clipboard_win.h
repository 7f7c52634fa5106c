// Plain text onto the Windows clipboard.
#pragma once

#include <windows.h>

#include <string>

namespace ionsift::host {

// Replaces the clipboard's contents with `text` as CF_TEXT. `owner` becomes
// the clipboard owner (Windows refuses data when the owner is null). False
// with the reason when the clipboard cannot be opened or filled.
bool PutTextOnClipboard(HWND owner, const std::string& text, std::string& problem);

}  // namespace ionsift::host
