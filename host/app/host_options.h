// Options of ionsift-host.exe.
#pragma once

#include <string>
#include <vector>

namespace ionsift::host {

struct HostOptions {
    std::string screenshotPath;         // empty: run interactively
    bool openPluginMenu = false;        // drop the Plug-ins menu down before the capture
    std::vector<std::string> commands;  // --exec: run these without a window, then exit
    std::vector<std::string> startupCommands;  // --run: run these in the window at start
    std::string menuChoice;             // --choose: then pick the menu item with this caption
    std::string error;                  // non-empty when the options are unusable
};

constexpr const char* kHostUsage =
    "usage: ionsift-host [--run \"<command>\" ...] [--choose \"<menu item>\"] [--screenshot file.bmp [--menu]]\n"
    "       ionsift-host --exec \"<command>\" [--exec \"<command>\" ...]";

// `arguments` excludes the program name.
HostOptions ParseHostOptions(const std::vector<std::string>& arguments);

}  // namespace ionsift::host
