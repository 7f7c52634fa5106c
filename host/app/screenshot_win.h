// Captures part of the screen into a 24-bit BMP file.
#pragma once

#include <windows.h>

#include <string>

namespace ionsift::host {

// The host window together with an open drop-down menu, clipped to the screen.
RECT HostAndMenuRect(HWND host);
bool CaptureScreenToBmp(const RECT& area, const std::string& path, std::string& problem);

}  // namespace ionsift::host
