// Options of ionsift-host.exe.
#pragma once

#include <string>
#include <vector>

namespace ionsift::host {

struct HostOptions {
    std::string screenshotPath;  // empty: run interactively
    bool openPluginMenu = false; // drop the Plug-ins menu down before the capture
    std::string error;           // non-empty when the options are unusable
};

// `arguments` excludes the program name.
HostOptions ParseHostOptions(const std::vector<std::string>& arguments);

}  // namespace ionsift::host
