// ionsift-host.exe: a stand-in for the molecular-modelling host, enough to
// load the plug-in, serve its commands and show its menus.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/app/exec_mode_win.h"
#include "host/app/host_app_win.h"
#include "host/app/host_options.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
    ionsift::host::HostOptions options = ionsift::host::ParseHostOptions(arguments);
    if (!options.error.empty()) {
        std::fprintf(stderr, "ionsift-host: %s\n%s\n", options.error.c_str(), ionsift::host::kHostUsage);
        return 2;
    }
    try {
        if (!options.commands.empty()) return ionsift::host::RunExecMode(options.commands);
        ionsift::host::HostApp app(std::move(options));
        return app.Run(instance);
    } catch (...) {
        std::fprintf(stderr, "ionsift-host: unexpected failure\n");
        return 1;
    }
}
