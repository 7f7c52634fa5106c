// The host context record handed to the plug-in and the cdecl callbacks in it.
// The callbacks forward to one CallbackTarget and never let an exception out.
#pragma once

#include <windows.h>

#include <string>

#include "shell/host_context.h"

namespace ionsift::host {

class CallbackTarget {
public:
    virtual ~CallbackTarget() = default;
    virtual void RunCommand(const std::string& command, int& error, std::string& answer) = 0;
    virtual void WindowOpened(HWND window) = 0;
    virtual void WindowClosed(HWND window) = 0;
    virtual void LibraryLoaded(const std::string& library, bool ok, const std::string& detail) = 0;
};

// Fills the one host context; `hostDirectory` ends with a backslash. Returns
// false when a path does not fit the record.
bool PrepareHostContext(CallbackTarget& target, HWND mainWindow, const std::string& hostDirectory,
                        const std::string& settingsPath);
HostContext& TheHostContext();

}  // namespace ionsift::host
